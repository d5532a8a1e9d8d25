#include "vcard.h"

#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "number_list.h"

namespace tavix {
namespace {

TEST(CardTemplateTest, HoldsTheSixLines) {
    EXPECT_EQ(CardTemplate,
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:{name}\r\nFN;CHARSET=UTF-8:{name}\r\n"
              "TEL;TYPE=CELL:{sjh}\r\nEND:VCARD");
}

TEST(ReplaceTextTest, ReplacesEveryOccurrenceByteByByte) {
    struct Case {
        std::string text;
        std::string find;
        std::string replacement;
        std::string result;
    };
    const Case cases[] = {
        {"", "-", "x", ""},
        {"1-2", "", "x", "1-2"},
        {"1-2-3", "-", "", "123"},
        {"-1-", "-", "+", "+1+"},
        {"12", "123", "x", "12"},
        {"123", "123", "", ""},
        // Left to right, no overlaps; the replacement is not scanned again.
        {"aaa", "aa", "b", "ba"},
        {"abab", "ab", "abab", "abababab"},
        {"{sjh}", "{sjh}", "{sjh}{sjh}", "{sjh}{sjh}"},
        // Case-sensitive.
        {"{name}{NAME}", "{name}", "X", "X{NAME}"},
        // No double-byte rule: a dash right after a high byte is still a dash, and a high byte at the end stays.
        {"\xB2-z", "-", "", "\xB2z"},
        {"1\xB2", "-", "", "1\xB2"},
        {"1\xB2", " ", "", "1\xB2"},
        {"客-户", "-", "", "客户"},
        // The three bytes of a full-width dash are not an ASCII dash.
        {"1－2", "-", "", "1－2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " / " + testing::PrintToString(c.find));
        EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement), c.result);
    }
}

TEST(FilterNumberTest, RemovesOnlyAsciiDashesAndSpaces) {
    struct Case {
        std::string line;
        bool stripDashes;
        bool stripSpaces;
        std::string number;
    };
    const Case cases[] = {
        {"1-2 3", false, false, "1-2 3"},
        {"1-2 3", true, false, "12 3"},
        {"1-2 3", false, true, "1-23"},
        {"1-2 3", true, true, "123"},
        {"", true, true, ""},
        {" 138 ", false, false, " 138 "},
        {" 138 ", false, true, "138"},
        {"--", true, false, ""},
        {"1\t2", true, true, "1\t2"},
        {"+86 (138) 0013.8000", true, true, "+86(138)0013.8000"},
        {"1　2", true, true, "1　2"},  // full-width space
        {"1－2", true, true, "1－2"},  // full-width dash
        {"\xB2-x", true, false, "\xB2x"},
        {"\xB2\xE2-", true, false, "\xB2\xE2"},
        {"1\xB2", true, true, "1\xB2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line) + (c.stripDashes ? " -dashes" : "") +
                     (c.stripSpaces ? " -spaces" : ""));
        EXPECT_EQ(FilterNumber(c.line, c.stripDashes, c.stripSpaces), c.number);
    }
}

TEST(EscapeTextTest, EscapesVcardTextSpecials) {
    struct Case {
        std::string value;
        std::string escaped;
    };
    const Case cases[] = {
        {"", ""},
        {"13800138000", "13800138000"},
        {"客户", "客户"},
        {"a\\b", "a\\\\b"},
        {"a,b", "a\\,b"},
        {"a;b", "a\\;b"},
        {"\\,;", "\\\\\\,\\;"},
        // Colons, dashes and spaces need no escape in a vCard 3.0 text value.
        {"a:b -c", "a:b -c"},
        {"a\nb", "a\\nb"},
        {"a\r\nb", "a\\nb"},
        {"a\rb", "a\\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.value));
        EXPECT_EQ(EscapeText(c.value), c.escaped);
    }
}

// The card as it must come out, built from its two values.
std::string Card(const std::string& name, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:" + name + "\r\nFN;CHARSET=UTF-8:" + name +
           "\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD";
}

CardOptions Options(NameMode mode, std::string customName = "", bool stripDashes = false, bool stripSpaces = false) {
    CardOptions options;
    options.nameMode = mode;
    options.customName = std::move(customName);
    options.stripDashes = stripDashes;
    options.stripSpaces = stripSpaces;
    return options;
}

TEST(ComposeCardTest, ExactBytesOfAPhoneNumberCard) {
    EXPECT_EQ(ComposeCard("13800138000", 1, Options(NameMode::PhoneNumber)),
              "BEGIN:VCARD\r\n"
              "VERSION:3.0\r\n"
              "N;CHARSET=UTF-8:13800138000\r\n"
              "FN;CHARSET=UTF-8:13800138000\r\n"
              "TEL;TYPE=CELL:13800138000\r\n"
              "END:VCARD");
}

TEST(ComposeCardTest, NamesAndNumbers) {
    const NameMode phone = NameMode::PhoneNumber;
    const NameMode custom = NameMode::CustomWithSequence;
    const std::size_t kMaxPosition = std::numeric_limits<std::size_t>::max();
    struct Case {
        const char* name;
        std::string line;
        std::size_t position;
        CardOptions options;
        std::string card;
    };
    const Case cases[] = {
        {"custom a at 1", "13800138000", 1, Options(custom, "a"), Card("a1", "13800138000")},
        {"custom a at 10", "13800138000", 10, Options(custom, "a"), Card("a10", "13800138000")},
        {"custom a at 100000", "1", 100000, Options(custom, "a"), Card("a100000", "1")},
        // A position past 32 bits is written in full.
        {"custom at max", "1", kMaxPosition, Options(custom, "a"), Card("a" + std::to_string(kMaxPosition), "1")},
        {"empty custom name", "13800138000", 3, Options(custom, ""), Card("3", "13800138000")},
        {"chinese custom name", "13800138000", 2, Options(custom, "客户"), Card("客户2", "13800138000")},
        {"empty entry by number", "", 1, Options(phone), Card("", "")},
        {"empty entry by custom name", "", 5, Options(custom, "c"), Card("c5", "")},
        // The name is the unfiltered line; only TEL loses dashes and spaces.
        {"filters by number", "1-2 3", 1, Options(phone, "", true, true), Card("1-2 3", "123")},
        {"dash filter only", "1-2 3", 1, Options(phone, "", true, false), Card("1-2 3", "12 3")},
        {"space filter only", "1-2 3", 1, Options(phone, "", false, true), Card("1-2 3", "1-23")},
        {"filters by custom name", " 1-2 ", 7, Options(custom, "n", true, true), Card("n7", "12")},
        // The custom name is ignored when cards are named by number.
        {"custom name unused", "138", 4, Options(phone, "客户"), Card("138", "138")},
        // N and FN are escaped; TEL carries the line exactly.
        {"escaped by number", "a,b;c\\d", 1, Options(phone), Card("a\\,b\\;c\\\\d", "a,b;c\\d")},
        {"escaped custom name", "1", 1, Options(custom, "x;y,z\\"), Card("x\\;y\\,z\\\\1", "1")},
        {"custom name with line break", "1", 1, Options(custom, "a\nb"), Card("a\\nb1", "1")},
        // Placeholders inside values are never filled in.
        {"{name} in line by custom name", "1{name}2", 1, Options(custom, "a"), Card("a1", "1{name}2")},
        {"{name} in line by number", "1{name}2", 1, Options(phone), Card("1{name}2", "1{name}2")},
        {"{NAME} in line", "1{NAME}2", 1, Options(custom, "a"), Card("a1", "1{NAME}2")},
        {"{sjh} in custom name", "138", 1, Options(custom, "{sjh}"), Card("{sjh}1", "138")},
        {"{sjh} in line by number", "{sjh}", 1, Options(phone), Card("{sjh}", "{sjh}")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ComposeCard(c.line, c.position, c.options), c.card);
        // The hot path must give the same bytes as composing and appending.
        std::string out = "prefix";
        AppendComposedCard(out, c.line, c.position, c.options);
        EXPECT_EQ(out, "prefix" + c.card + "\r\n");
    }
}

TEST(AppendCardTest, AddsTheCardAndCrLf) {
    std::string out;
    AppendCard(out, "A");
    EXPECT_EQ(out, "A\r\n");
    AppendCard(out, "B");
    EXPECT_EQ(out, "A\r\nB\r\n");
    AppendCard(out, "");
    EXPECT_EQ(out, "A\r\nB\r\n\r\n");
}

TEST(ComposeOutputTextTest, ExactBytesOfASmallList) {
    const NumberLines lines = NumberLines::FromText("138-0013-8000\r\n\r\n139 0013 9000\r\n");
    EXPECT_EQ(ComposeOutputText(lines, Options(NameMode::CustomWithSequence, "客户", true, false)),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:客户1\r\nFN;CHARSET=UTF-8:客户1\r\n"
              "TEL;TYPE=CELL:13800138000\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:客户2\r\nFN;CHARSET=UTF-8:客户2\r\n"
              "TEL;TYPE=CELL:\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:客户3\r\nFN;CHARSET=UTF-8:客户3\r\n"
              "TEL;TYPE=CELL:139 0013 9000\r\nEND:VCARD\r\n");
    EXPECT_EQ(ComposeOutputText(lines, Options(NameMode::PhoneNumber, "", false, true)),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:138-0013-8000\r\nFN;CHARSET=UTF-8:138-0013-8000\r\n"
              "TEL;TYPE=CELL:138-0013-8000\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:\r\nFN;CHARSET=UTF-8:\r\n"
              "TEL;TYPE=CELL:\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN;CHARSET=UTF-8:139 0013 9000\r\nFN;CHARSET=UTF-8:139 0013 9000\r\n"
              "TEL;TYPE=CELL:13900139000\r\nEND:VCARD\r\n");
}

TEST(ComposeOutputTextTest, EmptyListGivesEmptyText) {
    EXPECT_EQ(ComposeOutputText(NumberLines(), Options(NameMode::PhoneNumber)), "");
    EXPECT_EQ(ComposeOutputText(NumberLines::FromText(""), Options(NameMode::CustomWithSequence, "a")), "");
}

TEST(ComposeOutputTextTest, MatchesCardByCardComposition) {
    std::string text;
    for (int i = 0; i < 25; ++i) {
        text += (i % 7 == 3) ? "" : "1380013" + std::to_string(1000 + i);
        text += (i % 3 == 0) ? "\r\n" : (i % 3 == 1) ? "\n" : "\r";
    }
    const NumberLines lines = NumberLines::FromText(text);
    ASSERT_EQ(lines.Count(), 25u);
    const CardOptions options = Options(NameMode::CustomWithSequence, "c", true, true);
    std::string expected;
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        AppendCard(expected, ComposeCard(lines.Entry(i), i, options));
    }
    EXPECT_EQ(ComposeOutputText(lines, options), expected);
}

}  // namespace
}  // namespace tavix
