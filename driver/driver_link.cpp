#include "driver/driver_link.h"

#include <windows.h>

#include "driver/win32_device_port.h"

namespace driver {

namespace {

// Until the application sets its message window, a plain box with an empty caption.
void ShowInMessageBox(const char* text) {
    ::MessageBoxA(nullptr, text, "", MB_OK);
}

MessageSink g_sink = &ShowInMessageBox;

}  // namespace

DriverResult ReadDriverStatus() noexcept {
    Win32DevicePort port;
    return ReadDriverStatusFrom(port);
}

bool IsDriverPresent() noexcept {
    Win32DevicePort port;
    return ProbeDevice(port);
}

void EnableHypervisor() noexcept {
    Win32DevicePort port;
    SendHypervisorCommand(port, HypervisorCommand::Enable, g_sink);
}

void DisableHypervisor() noexcept {
    Win32DevicePort port;
    SendHypervisorCommand(port, HypervisorCommand::Disable, g_sink);
}

void SetMessageSink(MessageSink sink) noexcept {
    g_sink = sink ? sink : &ShowInMessageBox;
}

}  // namespace driver
