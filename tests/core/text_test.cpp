#include "text.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace tavix {
namespace {

using Pieces = std::vector<std::string>;

Pieces ToStrings(const std::vector<std::string_view>& views) {
    return Pieces(views.begin(), views.end());
}

TEST(BytesToTextTest, EndsBeforeFirstZeroByte) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {"13800138000", "13800138000"},
        {std::string("\0abc", 4), ""},
        {std::string("1\r\n2\0\r\n3", 8), "1\r\n2"},
        {std::string("12\0\0", 4), "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(BytesToText(c.bytes), c.text);
    }
}

TEST(SplitTextTest, CutsAtEverySeparator) {
    struct Case {
        std::string text;
        std::string separator;
        Pieces pieces;
    };
    const Case cases[] = {
        // An empty text has no lines at all, not one empty line.
        {"", "\r\n", {}},
        {"1", "\r\n", {"1"}},
        {"1\r\n2", "\r\n", {"1", "2"}},
        {"1\r\n2\r\n", "\r\n", {"1", "2"}},
        {"1\r\n\r\n2", "\r\n", {"1", "", "2"}},
        {"1\r\n\r\n", "\r\n", {"1", ""}},
        {"\r\n", "\r\n", {""}},
        {"\r\n\r\n", "\r\n", {"", ""}},
        // Only the whole separator cuts.
        {"1\n2\r3", "\r\n", {"1\n2\r3"}},
        {"\r\r\n", "\r\n", {"\r"}},
        // Scanning is byte by byte: a high byte never swallows the CR after it.
        {"X\xB0\r\nY", "\r\n", {"X\xB0", "Y"}},
        {"\xE5\xAE\xA2\r\n\xE6\x88\xB7", "\r\n", {"\xE5\xAE\xA2", "\xE6\x88\xB7"}},
        // The dialog's filter text.
        {"文本文件|*.txt", "|", {"文本文件", "*.txt"}},
        {"a||b", "|", {"a", "", "b"}},
        {"|a", "|", {"", "a"}},
        {"a|", "|", {"a"}},
        {"|", "|", {""}},
        // Matches do not overlap; the rest after the last match is a piece.
        {"aaa", "aa", {"", "a"}},
        {"aaaa", "aa", {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " by " + testing::PrintToString(c.separator));
        EXPECT_EQ(SplitText(c.text, c.separator), c.pieces);
    }
}

TEST(SplitLinesTest, EndsLinesAtCrLfLoneLfAndLoneCr) {
    struct Case {
        std::string text;
        Pieces lines;
    };
    const Case cases[] = {
        {"", {}},
        {"13800138000", {"13800138000"}},
        {"1\r\n2", {"1", "2"}},
        {"1\n2", {"1", "2"}},
        {"1\r2", {"1", "2"}},
        // One line end at the very end adds no line, whatever its kind.
        {"1\r\n2\r\n", {"1", "2"}},
        {"1\n2\n", {"1", "2"}},
        {"1\r2\r", {"1", "2"}},
        // Each further one adds an empty line.
        {"1\r\n\r\n", {"1", ""}},
        {"1\n\n", {"1", ""}},
        {"1\r\r", {"1", ""}},
        {"1\r\n\r\n2", {"1", "", "2"}},
        {"\r\n", {""}},
        {"\n", {""}},
        {"\r", {""}},
        {"\r\n\r\n", {"", ""}},
        // LF CR is two line ends, CR CR LF too; CR LF is one.
        {"\n\r", {"", ""}},
        {"1\n\r2", {"1", "", "2"}},
        {"\r\r\n", {"", ""}},
        {"1\n\r\n2", {"1", "", "2"}},
        // Mixed ends in one file.
        {"1\r\n2\n3\r4", {"1", "2", "3", "4"}},
        {"1\r\n2\n3\r4\r\n", {"1", "2", "3", "4"}},
        // Everything else stays in its line.
        {"138-0013 8000\r\n", {"138-0013 8000"}},
        {" 1\t2 \r\n", {" 1\t2 "}},
        {"客户\r\n", {"客户"}},
        {"X\xB0\r\nY", {"X\xB0", "Y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(ToStrings(SplitLines(c.text)), c.lines);
    }
}

TEST(SplitLinesTest, ViewsPointIntoTheText) {
    const std::string text = "1\r\n22\n333";
    for (std::string_view line : SplitLines(text)) {
        EXPECT_GE(line.data(), text.data());
        EXPECT_LE(line.data() + line.size(), text.data() + text.size());
    }
}

TEST(Utf8Test, ValidityAndSanitizing) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"13800138000", true},
        {"客户", true},
        {"\xF0\x9F\x98\x80", true},       // U+1F600
        {"\xF4\x8F\xBF\xBF", true},       // U+10FFFF
        {"\xEF\xBF\xBD", true},           // U+FFFD itself
        {"\xB0", false},                  // lone continuation byte
        {"1\xE5\xAE", false},             // cut short at the end
        {"\xE5\xAEz", false},             // cut short before an ASCII byte
        {"\xC0\xAF", false},              // overlong "/"
        {"\xE0\x80\xAF", false},          // overlong "/"
        {"\xED\xA0\x80", false},          // encoded surrogate
        {"\xF4\x90\x80\x80", false},      // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", false},  // five-byte form
        {"\xFF", false},
        {"\xBF\xCD\xBB\xA7", false},  // GBK, partly valid by accident
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
        const std::string sanitized = SanitizeUtf8(c.bytes);
        EXPECT_TRUE(IsValidUtf8(sanitized));
        if (c.valid) {
            EXPECT_EQ(sanitized, c.bytes);
        } else {
            EXPECT_NE(sanitized.find("\xEF\xBF\xBD"), std::string::npos);
        }
    }
}

TEST(Utf8Test, SanitizingKeepsTheWellFormedParts) {
    EXPECT_EQ(SanitizeUtf8("1\xB0z"), "1\xEF\xBF\xBDz");
    EXPECT_EQ(SanitizeUtf8("客\xFF户"), "客\xEF\xBF\xBD户");
    // The truncated sequence is replaced, the ASCII byte after it survives.
    const std::string cut = SanitizeUtf8("\xE5\xAEz");
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(cut.back(), 'z');
    std::string out = "a";
    AppendSanitizedUtf8(out, "\xB0");
    EXPECT_EQ(out, "a\xEF\xBF\xBD");
}

TEST(Utf8Test, AppendCodePoint) {
    struct Case {
        char32_t codePoint;
        std::string utf8;
    };
    const Case cases[] = {
        {U'1', "1"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x5BA2, "客"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned long>(c.codePoint));
        std::string out = "x";
        AppendCodePoint(out, c.codePoint);
        EXPECT_EQ(out, "x" + c.utf8);
    }
}

}  // namespace
}  // namespace tavix
