#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace skein::platform {

// COM on the calling thread, as the folder dialog needs it; released with the object when it was
// taken.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace skein::platform
