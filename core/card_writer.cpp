#include "card_writer.h"

namespace tavix {

CardWriter::CardWriter(ChunkSink& sink, std::size_t chunkBytes) : sink_(sink), chunkBytes_(chunkBytes) {
    // One card more than a chunk fits without a reallocation in the common case of short numbers.
    buffer_.reserve(chunkBytes_ + 256);
}

bool CardWriter::Add(std::string_view line, std::size_t position, const CardOptions& options) {
    if (failed_) {
        return false;
    }
    AppendComposedCard(buffer_, line, position, options);
    return buffer_.size() < chunkBytes_ || Flush();
}

bool CardWriter::Finish() {
    return !failed_ && Flush();
}

bool CardWriter::Flush() {
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

}  // namespace tavix
