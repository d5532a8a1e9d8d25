// The imported numbers: one entry per line of the last imported file, in file order.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "decode.h"

namespace tavix {

// An immutable list of entries. All entries live in one buffer, so a million lines cost two allocations.
class NumberLines {
  public:
    NumberLines() = default;
    // Cuts a UTF-8 text into entries at its line ends (see SplitLines).
    static NumberLines FromText(std::string text);

    std::size_t Count() const { return starts_.size(); }
    // 1 <= position <= Count(); an empty line gives the empty view.
    std::string_view Entry(std::size_t position) const;

  private:
    std::string text_;
    std::vector<std::size_t> starts_;  // where each entry begins in text_
};

// The whole of the import parsing: decode the file's bytes, then cut them into lines.
NumberLines ParseNumberLines(std::string_view bytes, const LegacyDecoder& legacy);

// The one list of the process. Readers take a snapshot and keep it for as long as they work on it; a replacement
// swaps in a new list and never touches the entries of a snapshot still in use. Replacements never interleave.
class NumberList {
  public:
    NumberList();
    std::shared_ptr<const NumberLines> Snapshot() const;
    std::size_t Count() const;
    void Replace(NumberLines lines);
    // Drops the process's reference; snapshots still held stay valid until their holders let go.
    void Release();

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const NumberLines> current_;
};

}  // namespace tavix
