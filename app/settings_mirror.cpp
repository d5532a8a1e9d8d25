#include "app.h"

namespace tavix::app {

void SettingsMirror::Store(const CardOptions& options) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        options_ = options;
    }
    // Bumped after the copy is in place, so a reader that sees the new version also finds the new options.
    version_.fetch_add(1, std::memory_order_acq_rel);
}

CardOptions SettingsMirror::Load() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return options_;
}

}  // namespace tavix::app
