// The seam between the driver link's logic and the device: the four calls it makes.
// The Win32 port makes them on "\\.\Korvalen"; native tests script them.
#pragma once

#include <cstdint>

namespace driver {

class DevicePort {
public:
    virtual ~DevicePort() = default;
    // Opens the device for reading, unshared. False when it cannot be opened.
    [[nodiscard]] virtual bool Open() noexcept = 0;
    // Reads up to length bytes into buffer; the count delivered is not reported, on purpose:
    // the caller has zero-filled the buffer and takes it as it stands.
    [[nodiscard]] virtual bool Read(void* buffer, std::uint32_t length) noexcept = 0;
    // Sends a control code without input and with the 4-byte answer word as output.
    [[nodiscard]] virtual bool Control(std::uint32_t code, std::uint32_t& answer) noexcept = 0;
    // Closes what Open opened; harmless when nothing is open.
    virtual void Close() noexcept = 0;
};

// The device opened through a port for as long as this lives: it closes what it opened on
// every way out of a read or a command, and nothing when the open failed.
class OpenedDevice {
public:
    explicit OpenedDevice(DevicePort& port) noexcept : port_(port), opened_(port.Open()) {}
    ~OpenedDevice() {
        if (opened_) port_.Close();
    }
    OpenedDevice(const OpenedDevice&) = delete;
    OpenedDevice& operator=(const OpenedDevice&) = delete;

    [[nodiscard]] explicit operator bool() const noexcept { return opened_; }

private:
    DevicePort& port_;
    bool opened_;
};

}  // namespace driver
