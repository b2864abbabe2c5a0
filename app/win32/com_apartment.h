#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace shredder::app {

// COM for the user-interface thread (the shell's folder browser needs it), for the lifetime
// of the scope.
class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace shredder::app
