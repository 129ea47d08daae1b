#include "driver/win32_device_port.h"

#include <cstdint>

namespace driver {

bool Win32DevicePort::Open() noexcept {
    // Unshared, plain synchronous I/O.
    device_.reset(::CreateFileA(kDevicePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return device_.valid();
}

bool Win32DevicePort::Read(void* buffer, std::uint32_t length) noexcept {
    DWORD delivered = 0;  // not looked at: the caller zero-filled the buffer
    return ::ReadFile(device_.get(), buffer, length, &delivered, nullptr) != FALSE;
}

bool Win32DevicePort::Control(std::uint32_t code, std::uint32_t& answer) noexcept {
    DWORD returned = 0;  // not looked at: a short answer keeps the zeros it was given
    return ::DeviceIoControl(device_.get(), code, nullptr, 0, &answer, sizeof answer, &returned,
                             nullptr) != FALSE;
}

void Win32DevicePort::Close() noexcept {
    device_.reset();
}

}  // namespace driver
