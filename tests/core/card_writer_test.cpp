#include "card_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "number_list.h"
#include "vcard.h"

namespace tavix {
namespace {

// Keeps every chunk it is given; refuses the chunk with index `refuseAt` and, should the writer go on, every later
// one too.
class RecordingSink : public ChunkSink {
  public:
    explicit RecordingSink(std::size_t refuseAt = SIZE_MAX) : refuseAt_(refuseAt) {}

    bool Write(std::string_view chunk) override {
        ++calls;
        if (chunks.size() >= refuseAt_ || refused) {
            refused = true;
            return false;
        }
        chunks.emplace_back(chunk);
        return true;
    }

    std::string Joined() const {
        std::string all;
        for (const std::string& chunk : chunks) {
            all += chunk;
        }
        return all;
    }

    std::vector<std::string> chunks;
    std::size_t calls = 0;
    bool refused = false;

  private:
    std::size_t refuseAt_;
};

NumberLines SampleLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i % 9 == 4) ? "" : "138-0013-" + std::to_string(1000 + i);
        text += "\r\n";
    }
    return NumberLines::FromText(text);
}

CardOptions SampleOptions() {
    CardOptions options;
    options.stripDashes = true;
    options.nameMode = NameMode::CustomWithSequence;
    options.customName = "客户";
    return options;
}

TEST(CardWriterTest, ChunksAddUpToTheOutputText) {
    const NumberLines lines = SampleLines(50);
    const CardOptions options = SampleOptions();
    const std::string expected = ComposeOutputText(lines, options);
    std::size_t longestCard = 0;
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        longestCard = std::max(longestCard, ComposeCard(lines.Entry(i), i, options).size() + 2);
    }

    for (std::size_t chunkBytes : {std::size_t{1}, std::size_t{64}, std::size_t{500}, std::size_t{1} << 20}) {
        SCOPED_TRACE(chunkBytes);
        RecordingSink sink;
        CardWriter writer(sink, chunkBytes);
        for (std::size_t i = 1; i <= lines.Count(); ++i) {
            ASSERT_TRUE(writer.Add(lines.Entry(i), i, options));
        }
        ASSERT_TRUE(writer.Finish());
        EXPECT_EQ(sink.Joined(), expected);
        EXPECT_EQ(writer.BytesWritten(), expected.size());
        // The writer never holds much more than one chunk: that is what keeps a large output out of memory.
        for (const std::string& chunk : sink.chunks) {
            EXPECT_LE(chunk.size(), chunkBytes + longestCard);
        }
        if (chunkBytes < expected.size() / 4) {
            EXPECT_GT(sink.chunks.size(), 3u);
        }
    }
}

TEST(CardWriterTest, LongLinesArePassedOnNotHeldWhole) {
    // A line far longer than a chunk: it stands three times in its card, and the card must not be built whole.
    constexpr std::size_t kChunkBytes = 256;
    std::string longLine;
    for (int i = 0; i < 2000; ++i) {
        longLine += "13-8 ";
    }
    struct Case {
        const char* name;
        std::string line;
        bool filters;
    };
    const Case cases[] = {
        {"plain", longLine, false},
        {"filtered", longLine, true},
        {"escaped", longLine + ",;\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const NumberLines lines = NumberLines::FromText("1\r\n" + c.line + "\r\n2");
        CardOptions options;
        options.stripDashes = options.stripSpaces = c.filters;
        RecordingSink sink;
        CardWriter writer(sink, kChunkBytes);
        for (std::size_t i = 1; i <= lines.Count(); ++i) {
            ASSERT_TRUE(writer.Add(lines.Entry(i), i, options));
        }
        ASSERT_TRUE(writer.Finish());
        EXPECT_EQ(sink.Joined(), ComposeOutputText(lines, options));
        for (const std::string& chunk : sink.chunks) {
            // Either a buffered chunk, or the line itself handed on untouched.
            EXPECT_TRUE(chunk.size() < 2 * kChunkBytes || chunk == c.line) << "a chunk of " << chunk.size();
        }
    }
}

TEST(CardWriterTest, EmptyListWritesNothing) {
    RecordingSink sink;
    CardWriter writer(sink, 64);
    EXPECT_TRUE(writer.Finish());
    EXPECT_EQ(sink.Joined(), "");
    EXPECT_EQ(writer.BytesWritten(), 0u);
}

TEST(CardWriterTest, RefusedChunkStopsTheWriter) {
    const NumberLines lines = SampleLines(50);
    const CardOptions options = SampleOptions();
    RecordingSink sink(/*refuseAt=*/2);
    CardWriter writer(sink, 64);
    bool sawFailure = false;
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        const bool added = writer.Add(lines.Entry(i), i, options);
        if (sawFailure) {
            EXPECT_FALSE(added) << "Add succeeded again at entry " << i;
        }
        sawFailure = sawFailure || !added;
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_FALSE(writer.Finish());
    // Once refused, the sink is not asked again: a half-written output must not grow past the gap.
    EXPECT_EQ(sink.calls, 3u);
    EXPECT_EQ(sink.chunks.size(), 2u);
    EXPECT_EQ(writer.BytesWritten(), sink.Joined().size());
    EXPECT_EQ(ComposeOutputText(lines, options).rfind(sink.Joined(), 0), 0u);
}

TEST(CardWriterTest, RefusalOfTheLastChunkFailsFinish) {
    const NumberLines lines = SampleLines(3);
    const CardOptions options = SampleOptions();
    RecordingSink sink(/*refuseAt=*/0);
    CardWriter writer(sink, std::size_t{1} << 20);
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        EXPECT_TRUE(writer.Add(lines.Entry(i), i, options));
    }
    EXPECT_FALSE(writer.Finish());
    EXPECT_EQ(writer.BytesWritten(), 0u);
}

}  // namespace
}  // namespace tavix
