#include "filter_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "decode.h"

namespace tavix {
namespace {

using namespace std::string_literals;

TEST(BuildFilterBufferTest, LaysPiecesOutAsZeroTerminatedStrings) {
    struct Case {
        std::string filter;
        std::string expected;
    };
    const Case cases[] = {
        {"文本文件|*.txt", "文本文件\0*.txt\0\0"s},
        {"所有文件(*.*)|*.*", "所有文件(*.*)\0*.*\0\0"s},
        {"Text|*.txt|All|*.*", "Text\0*.txt\0All\0*.*\0\0"s},
        // No pieces: the dialog gets no filter at all, not an empty list.
        {"", ""},
        // A lone description still ends with the two zeros.
        {"Text", "Text\0\0"s},
        // A separator at the very end adds no empty piece.
        {"Text|*.txt|", "Text\0*.txt\0\0"s},
        // Empty pieces keep their zero, even though the dialog then sees the list end early.
        {"|", "\0\0"s},
        {"a||b", "a\0\0b\0\0"s},
        {"|*.txt", "\0*.txt\0\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("filter: " + c.filter);
        EXPECT_EQ(BuildFilterBuffer(c.filter), c.expected);
    }
}

// The Windows side widens the whole buffer in one go, so the converter must carry the zeros through.
TEST(BuildFilterBufferTest, ZerosSurviveWidening) {
    const std::u16string wide = Utf8ToUtf16(BuildFilterBuffer("文本文件|*.txt"));
    EXPECT_EQ(wide, u"文本文件\0*.txt\0\0"s);
}

}  // namespace
}  // namespace tavix
