// Parts of the frame that only the shell's own files need: the guard at the edge of threads and window callbacks.
#pragma once

#include <exception>
#include <new>
#include <string>

#include "app.h"

namespace tavix::app {

inline constexpr char kOutOfMemoryFault[] = "内存不足：无法为程序的数据分配内存。";

// Runs `work` and turns an exception that would otherwise cross a thread's entry or a Windows callback (where it
// cannot be caught again) into a FatalStop that names the fault.
template <typename Work>
auto StopOnException(Work&& work) -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        FatalStop(kOutOfMemoryFault);
    } catch (const std::exception& error) {
        FatalStop(std::string("程序内部错误：") + error.what());
    }
}

}  // namespace tavix::app
