// COM for the current thread, for as long as one of these lives: the shell's dialog and its "open" action run
// shell extensions that expect a single-threaded apartment.
#pragma once

#include <objbase.h>

namespace tavix::app {

class ComApartment {
  public:
    // A thread that already chose another apartment keeps it; the shell copes with that as well.
    ComApartment()
        : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

}  // namespace tavix::app
