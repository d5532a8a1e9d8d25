// Streams cards to a sink in large chunks, so that no caller needs the whole output in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vcard.h"

namespace tavix {

class ChunkSink {
  public:
    virtual ~ChunkSink() = default;
    // Takes one chunk; false means the chunk could not be stored (the writer stops there).
    virtual bool Write(std::string_view chunk) = 0;
};

class CardWriter {
  public:
    explicit CardWriter(ChunkSink& sink, std::size_t chunkBytes = std::size_t{1} << 20);
    // Composes the card of one entry and queues it; false once the sink has refused a chunk.
    bool Add(std::string_view line, std::size_t position, const CardOptions& options);
    // Hands the rest to the sink; false when the sink refused any chunk.
    bool Finish();
    std::uint64_t BytesWritten() const { return written_; }

  private:
    friend class ChunkedOutput;
    bool Flush();
    // Hands a value too long for a chunk to the sink as it is, after what is queued.
    void PassThrough(std::string_view value);

    ChunkSink& sink_;
    std::size_t chunkBytes_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

}  // namespace tavix
