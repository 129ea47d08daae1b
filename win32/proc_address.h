// A function looked up by name in a loaded module, as a typed pointer: for functions that
// only newer systems have, or libraries loaded when first needed. Null when the module or
// the function is missing.
#pragma once

#include <windows.h>

namespace win32 {

template <typename F>
[[nodiscard]] F ProcAddress(HMODULE module, const char* name) noexcept {
    // The cast between function pointer types is how GetProcAddress is meant to be used:
    // the caller names the function's real type.
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace win32
