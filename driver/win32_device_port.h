// DevicePort on the Korvalen driver's device, through CreateFileA, ReadFile,
// DeviceIoControl and CloseHandle.
#pragma once

#include "driver/device_port.h"
#include "win32/unique_win.h"

#include <cstdint>

namespace driver {

inline constexpr const char* kDevicePath = "\\\\.\\Korvalen";

class Win32DevicePort final : public DevicePort {
public:
    [[nodiscard]] bool Open() noexcept override;
    [[nodiscard]] bool Read(void* buffer, std::uint32_t length) noexcept override;
    [[nodiscard]] bool Control(std::uint32_t code, std::uint32_t& answer) noexcept override;
    void Close() noexcept override;

private:
    win32::UniqueFile device_;
};

}  // namespace driver
