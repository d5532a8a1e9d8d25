#include "decode.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "text.h"

namespace tavix {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Stands in for a code page: ASCII stays, every other byte becomes a visible marker, and every call is recorded so
// that a test can tell whether the legacy path ran and on which bytes.
struct FakeLegacy {
    std::vector<std::string> calls;

    LegacyDecoder Decoder() {
        return [this](std::string_view bytes) {
            calls.emplace_back(bytes);
            std::string out;
            for (unsigned char b : bytes) {
                if (b < 0x80) {
                    out += static_cast<char>(b);
                } else {
                    char marker[8];
                    std::snprintf(marker, sizeof marker, "<%02X>", b);
                    out += marker;
                }
            }
            return out;
        };
    }
};

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::string withLegacy;     // result with the fake code page
    bool legacyCalled;          // whether the fake code page was asked at all
    std::string legacyInput;    // what it was given, when asked
    std::string withoutLegacy;  // result with no code page; empty for runs whose U+FFFD count is left open
};

TEST(DecodeInputTextTest, ChoosesTheRightDecoding) {
    const std::string utf8Bom = Bytes({0xEF, 0xBB, 0xBF});
    const std::string le = Bytes({0xFF, 0xFE});
    const std::string be = Bytes({0xFE, 0xFF});
    const DecodeCase cases[] = {
        {"empty", "", "", false, "", ""},
        {"ascii", "13800138000\r\n", "13800138000\r\n", false, "", "13800138000\r\n"},
        {"valid utf-8 kept", "客户\r\n1", "客户\r\n1", false, "", "客户\r\n1"},
        {"four-byte utf-8 kept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", false, "", "\xF0\x9F\x98\x80"},
        {"utf-8 bom removed", utf8Bom + "1\r\n2", "1\r\n2", false, "", "1\r\n2"},
        {"utf-8 bom alone", utf8Bom, "", false, "", ""},
        // After a UTF-8 mark the file is UTF-8, so a stray byte is not a reason to try the code page.
        {"utf-8 bom then bad byte", utf8Bom + Bytes({'1', 0xB0, '2'}), "1" + kReplacement + "2", false, "",
         "1" + kReplacement + "2"},
        {"zero byte cuts", Bytes({'1', '2', 0, '3', '4'}), "12", false, "", "12"},
        {"zero byte first", Bytes({0, '1', '2'}), "", false, "", ""},
        // The code page sees only the text before the zero byte, and only when that text is not UTF-8.
        {"bad byte after zero byte", std::string("12\0\xB0", 4), "12", false, "", "12"},
        {"legacy up to zero byte", std::string("1\xB0\0\xB1", 4), "1<B0>", true, "1\xB0", "1" + kReplacement},
        {"gbk line", "\xBF\xCD\xBB\xA7\r\n1", "<BF><CD><BB><A7>\r\n1", true, "\xBF\xCD\xBB\xA7\r\n1", ""},
        {"lone high byte", "X\xB0\r\nY", "X<B0>\r\nY", true, "X\xB0\r\nY", "X" + kReplacement + "\r\nY"},
        {"overlong", "\xC0\xAF", "<C0><AF>", true, "\xC0\xAF", ""},
        {"encoded surrogate", "\xED\xA0\x80", "<ED><A0><80>", true, "\xED\xA0\x80", ""},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "<F4><90><80><80>", true, "\xF4\x90\x80\x80", ""},
        {"utf-8 cut short at end", "1\xE5\xAE", "1<E5><AE>", true, "1\xE5\xAE", ""},
        // UTF-16 never goes to the code page.
        {"utf-16 le", le + Bytes({'1', 0, '\r', 0, '\n', 0, '2', 0}), "1\r\n2", false, "", "1\r\n2"},
        {"utf-16 be", be + Bytes({0, '1', 0, '\r', 0, '\n', 0, '2'}), "1\r\n2", false, "", "1\r\n2"},
        {"utf-16 le chinese", le + Bytes({0xA2, 0x5B, 0x37, 0x62}), "客户", false, "", "客户"},
        {"utf-16 be chinese", be + Bytes({0x5B, 0xA2, 0x62, 0x37}), "客户", false, "", "客户"},
        {"utf-16 le bom alone", le, "", false, "", ""},
        {"utf-16 be bom alone", be, "", false, "", ""},
        {"utf-16 le surrogate pair", le + Bytes({0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80", false, "",
         "\xF0\x9F\x98\x80"},
        {"utf-16 be surrogate pair", be + Bytes({0xD8, 0x3D, 0xDE, 0x00}), "\xF0\x9F\x98\x80", false, "",
         "\xF0\x9F\x98\x80"},
        {"utf-16 zero code unit cuts", le + Bytes({'1', 0, 0, 0, '2', 0}), "1", false, "", "1"},
        {"utf-16 zero code unit first", be + Bytes({0, 0, 0, '2'}), "", false, "", ""},
        // A zero byte inside a code unit is not a zero code unit: U+4E00 is 00 4E in little-endian order.
        {"utf-16 zero byte inside unit", le + Bytes({0x00, 0x4E, '1', 0}), "一1", false, "", "一1"},
        {"utf-16 lone high surrogate", le + Bytes({0x3D, 0xD8, '1', 0}), kReplacement + "1", false, "",
         kReplacement + "1"},
        {"utf-16 lone low surrogate", le + Bytes({0x00, 0xDE, '1', 0}), kReplacement + "1", false, "",
         kReplacement + "1"},
        {"utf-16 high surrogate at end", be + Bytes({0, '1', 0xD8, 0x3D}), "1" + kReplacement, false, "",
         "1" + kReplacement},
        {"utf-16 two high surrogates", le + Bytes({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE}),
         kReplacement + "\xF0\x9F\x98\x80", false, "", kReplacement + "\xF0\x9F\x98\x80"},
        {"utf-16 odd last byte", le + Bytes({'1', 0, '2'}), "1" + kReplacement, false, "", "1" + kReplacement},
        {"utf-16 one byte after bom", be + Bytes({'1'}), kReplacement, false, "", kReplacement},
        {"utf-16 odd byte after zero unit", le + Bytes({'1', 0, 0, 0, '2'}), "1", false, "", "1"},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLegacy fake;
        const std::string got = DecodeInputText(c.bytes, fake.Decoder());
        EXPECT_EQ(got, c.withLegacy);
        if (c.legacyCalled) {
            ASSERT_EQ(fake.calls.size(), 1u);
            EXPECT_EQ(fake.calls[0], c.legacyInput);
        } else {
            EXPECT_TRUE(fake.calls.empty());
        }

        const std::string bare = DecodeInputText(c.bytes, LegacyDecoder());
        EXPECT_TRUE(IsValidUtf8(bare));
        EXPECT_EQ(bare.find('\0'), std::string::npos);
        // Without a code page an ill-formed run becomes U+FFFD; how many of them is the sanitizer's business.
        if (!c.withoutLegacy.empty() || !c.legacyCalled) {
            EXPECT_EQ(bare, c.withoutLegacy);
        } else {
            EXPECT_NE(bare.find(kReplacement), std::string::npos);
        }
    }
}

TEST(DecodeInputTextTest, HoldsACarelessCodePageToValidUtf8) {
    // A code page that hands back raw bytes and even a zero byte must not break the promise of the result.
    const LegacyDecoder careless = [](std::string_view bytes) {
        return std::string(bytes) + std::string(1, '\0') + "2";
    };
    const std::string got = DecodeInputText("1\xB0", careless);
    EXPECT_TRUE(IsValidUtf8(got));
    EXPECT_EQ(got.find('\0'), std::string::npos);
    EXPECT_EQ(got.substr(0, 1), "1");
}

TEST(Utf16ConversionTest, RoundTripsAndReplacesUnpairedSurrogates) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {u"", ""},
        {u"13800138000", "13800138000"},
        {u"Tavix软件_生成.vcf", "Tavix软件_生成.vcf"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    }
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'1', char16_t(0xD83D), u'2'}), "1" + kReplacement + "2");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDE00)}), kReplacement);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD83D)}), kReplacement);
}

}  // namespace
}  // namespace tavix
