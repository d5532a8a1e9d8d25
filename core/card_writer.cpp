#include "card_writer.h"

#include "card_compose.h"

namespace tavix {

// What a card is composed into: the writer's buffer, flushed whenever it holds a chunk. A value longer than a chunk
// (a line of a hundred megabytes, say) goes to the sink on its own, so no card is ever held whole.
class ChunkedOutput {
  public:
    explicit ChunkedOutput(CardWriter& writer) : writer_(writer) {}

    ChunkedOutput& operator+=(std::string_view text) {
        if (text.size() >= writer_.chunkBytes_) {
            writer_.PassThrough(text);
        } else {
            writer_.buffer_ += text;
            FlushWhenFull();
        }
        return *this;
    }

    ChunkedOutput& operator+=(char c) {
        writer_.buffer_ += c;
        FlushWhenFull();
        return *this;
    }

  private:
    void FlushWhenFull() {
        if (writer_.buffer_.size() >= writer_.chunkBytes_) {
            writer_.Flush();
        }
    }

    CardWriter& writer_;
};

CardWriter::CardWriter(ChunkSink& sink, std::size_t chunkBytes) : sink_(sink), chunkBytes_(chunkBytes) {
    // A chunk and one ordinary card fit without a reallocation.
    buffer_.reserve(chunkBytes_ + 256);
}

bool CardWriter::Add(std::string_view line, std::size_t position, const CardOptions& options) {
    if (failed_) {
        return false;
    }
    // An ordinary card goes into the buffer in one piece; only long values need the chunked path.
    if (line.size() + options.customName.size() < chunkBytes_ / 8) {
        AppendComposedCard(buffer_, line, position, options);
        return buffer_.size() < chunkBytes_ || Flush();
    }
    ChunkedOutput out(*this);
    card_detail::AppendCardBody(out, line, position, options);
    out += std::string_view("\r\n");
    return !failed_;
}

bool CardWriter::Finish() {
    return !failed_ && Flush();
}

bool CardWriter::Flush() {
    if (failed_) {
        buffer_.clear();
        return false;
    }
    if (buffer_.empty()) {
        return true;
    }
    if (!sink_.Write(buffer_)) {
        failed_ = true;
        buffer_.clear();
        return false;
    }
    written_ += buffer_.size();
    buffer_.clear();
    return true;
}

void CardWriter::PassThrough(std::string_view value) {
    if (!Flush()) {
        return;
    }
    if (!sink_.Write(value)) {
        failed_ = true;
        return;
    }
    written_ += value.size();
}

}  // namespace tavix
