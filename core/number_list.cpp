#include "number_list.h"

#include <cassert>

#include "text.h"

namespace tavix {

NumberLines NumberLines::FromText(std::string text) {
    NumberLines lines;
    lines.text_ = std::move(text);
    lines.starts_ = LineStarts(lines.text_);
    return lines;
}

std::string_view NumberLines::Entry(std::size_t position) const {
    assert(position >= 1 && position <= starts_.size());
    return LineAt(text_, starts_, position - 1);
}

NumberLines ParseNumberLines(std::string_view bytes, const LegacyDecoder& legacy) {
    return NumberLines::FromText(DecodeInputText(bytes, legacy));
}

NumberList::NumberList() : current_(std::make_shared<const NumberLines>()) {}

std::shared_ptr<const NumberLines> NumberList::Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_;
}

std::size_t NumberList::Count() const {
    return Snapshot()->Count();
}

void NumberList::Replace(NumberLines lines) {
    auto next = std::make_shared<const NumberLines>(std::move(lines));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        current_.swap(next);
    }
    // `next` now holds the old list: it goes here, outside the lock, unless a reader still has it.
}

void NumberList::Release() {
    std::shared_ptr<const NumberLines> old;
    std::lock_guard<std::mutex> lock(mutex_);
    current_.swap(old);
    current_ = std::make_shared<const NumberLines>();
}

}  // namespace tavix
