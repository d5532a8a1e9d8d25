#include "number_list.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace tavix {
namespace {

using Entries = std::vector<std::string>;

Entries EntriesOf(const NumberLines& lines) {
    Entries entries;
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        entries.emplace_back(lines.Entry(i));
    }
    return entries;
}

// ASCII stays, every other byte becomes "?": enough to see that the code page was used.
std::string QuestionMarks(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    }
    return out;
}

// A file as Notepad saves it as "Unicode": the mark FF FE, then little-endian code units.
std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(ParseNumberLinesTest, DecodesThenCutsIntoEntries) {
    struct Case {
        const char* name;
        std::string bytes;
        Entries entries;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"two lines", "13800138000\r\n13900139000", {"13800138000", "13900139000"}},
        {"trailing line end", "1\r\n2\r\n", {"1", "2"}},
        {"empty line inside", "1\r\n\r\n2", {"1", "", "2"}},
        {"empty line at end", "1\r\n\r\n", {"1", ""}},
        {"line end alone", "\r\n", {""}},
        {"two line ends alone", "\r\n\r\n", {"", ""}},
        {"lf only", "1\n2\n", {"1", "2"}},
        {"cr only", "1\r2\r", {"1", "2"}},
        {"mixed ends", "1\r\n2\n3\r\n", {"1", "2", "3"}},
        {"spaces and dashes stay", "138-0013 8000\r\n", {"138-0013 8000"}},
        {"zero byte after first line", std::string("1\r\n2\0\r\n3", 8), {"1", "2"}},
        {"utf-8 bom removed", std::string("\xEF\xBB\xBF") + "1\r\n2", {"1", "2"}},
        // A letter, a byte that is not UTF-8, CR LF, a letter: the code page decodes it, and the CR LF still ends
        // the first line.
        {"stray high byte", "\x58\xB0\x0D\x0A\x59", {"X?", "Y"}},
        {"gbk chinese", "\xBF\xCD\xBB\xA7\r\n1", {"????", "1"}},
        {"utf-16 le notepad file", Utf16Le(u"1\r\n2\r\n"), {"1", "2"}},
        {"utf-16 be with chinese", std::string("\xFE\xFF\x5B\xA2\0\n\x62\x37", 8), {"客", "户"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EntriesOf(ParseNumberLines(c.bytes, QuestionMarks)), c.entries);
    }
}

TEST(ParseNumberLinesTest, WithoutCodePageStrayBytesBecomeReplacementCharacters) {
    const NumberLines lines = ParseNumberLines("\x58\xB0\x0D\x0A\x59", LegacyDecoder());
    EXPECT_EQ(EntriesOf(lines), (Entries{"X\xEF\xBF\xBD", "Y"}));
}

TEST(NumberLinesTest, FromTextCountsEveryLine) {
    const NumberLines lines = NumberLines::FromText("1\n\n3\r\n");
    ASSERT_EQ(lines.Count(), 3u);
    EXPECT_EQ(lines.Entry(1), "1");
    EXPECT_EQ(lines.Entry(2), "");
    EXPECT_EQ(lines.Entry(3), "3");
    EXPECT_EQ(NumberLines().Count(), 0u);
    EXPECT_EQ(NumberLines::FromText("").Count(), 0u);
}

TEST(NumberListTest, StartsEmpty) {
    NumberList list;
    EXPECT_EQ(list.Count(), 0u);
    // A generate run before any import finds a valid list of no entries.
    const std::shared_ptr<const NumberLines> snapshot = list.Snapshot();
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->Count(), 0u);
}

TEST(NumberListTest, SnapshotKeepsItsListAcrossReplace) {
    NumberList list;
    list.Replace(NumberLines::FromText("1\n2\n3"));
    EXPECT_EQ(list.Count(), 3u);
    const std::shared_ptr<const NumberLines> before = list.Snapshot();

    list.Replace(NumberLines::FromText("a\nb"));
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(EntriesOf(*before), (Entries{"1", "2", "3"}));
    EXPECT_EQ(EntriesOf(*list.Snapshot()), (Entries{"a", "b"}));

    // An unreadable file replaces the list with one of no entries.
    list.Replace(NumberLines());
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(EntriesOf(*before), (Entries{"1", "2", "3"}));
}

TEST(NumberListTest, ReleaseKeepsHeldSnapshotsValid) {
    NumberList list;
    list.Replace(NumberLines::FromText("13800138000\r\n\r\n13900139000"));
    const std::shared_ptr<const NumberLines> held = list.Snapshot();
    list.Release();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(EntriesOf(*held), (Entries{"13800138000", "", "13900139000"}));
}

}  // namespace
}  // namespace tavix
