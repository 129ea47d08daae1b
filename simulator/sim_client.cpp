#include "simulator/sim_client.h"

#include <windows.h>

#include <functional>

#include "win32/unique_win.h"

namespace sim {

namespace {

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseServiceHandle(h); }
};
using UniqueService = win32::Unique<ServiceHandleTraits>;

win32::UniqueFile OpenControlDevice() {
    return win32::UniqueFile(::CreateFileA(KORVALEN_SIM_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                                           0, nullptr, OPEN_EXISTING, 0, nullptr));
}

bool Control(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength) {
    const win32::UniqueFile device = OpenControlDevice();
    if (!device) return false;
    DWORD returned = 0;
    return ::DeviceIoControl(device.get(), code, const_cast<void*>(in), inLength, out, outLength,
                             &returned, nullptr) != FALSE &&
           returned == outLength;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::Sleep(20);
    }
}

UniqueService OpenStandInService(DWORD access) {
    const UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return UniqueService();
    return UniqueService(::OpenServiceA(manager.get(), KORVALEN_SIM_SERVICE_NAME, access));
}

}  // namespace

bool SetScenario(const KorvalenSimScenario& scenario) {
    return Control(KORVALEN_SIM_IOCTL_SET_SCENARIO, &scenario, sizeof scenario, nullptr, 0);
}

std::optional<KorvalenSimScenario> GetScenario() {
    KorvalenSimScenario scenario{};
    if (!Control(KORVALEN_SIM_IOCTL_GET_SCENARIO, nullptr, 0, &scenario, sizeof scenario))
        return std::nullopt;
    return scenario;
}

std::optional<KorvalenSimCounters> GetCounters() {
    KorvalenSimCounters counters{};
    if (!Control(KORVALEN_SIM_IOCTL_GET_COUNTERS, nullptr, 0, &counters, sizeof counters))
        return std::nullopt;
    return counters;
}

bool Reset() {
    return Control(KORVALEN_SIM_IOCTL_RESET, nullptr, 0, nullptr, 0);
}

bool ResetCounters() {
    return Control(KORVALEN_SIM_IOCTL_RESET_COUNTERS, nullptr, 0, nullptr, 0);
}

bool IsRunning() {
    return OpenControlDevice().valid();
}

bool WaitUntilRunning(std::chrono::milliseconds deadline) {
    return WaitFor(IsRunning, deadline);
}

bool StartStandIn(std::chrono::milliseconds deadline) {
    if (IsRunning()) return true;
    const UniqueService service = OpenStandInService(SERVICE_START);
    if (!service) return false;
    if (!::StartServiceA(service.get(), 0, nullptr) &&
        ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return false;
    return WaitUntilRunning(deadline);
}

bool StopStandIn(std::chrono::milliseconds deadline) {
    const UniqueService service = OpenStandInService(SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!service) return false;
    SERVICE_STATUS status{};
    if (!::ControlService(service.get(), SERVICE_CONTROL_STOP, &status) &&
        ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return false;
    return WaitFor(
        [&] {
            SERVICE_STATUS now{};
            return ::QueryServiceStatus(service.get(), &now) &&
                   now.dwCurrentState == SERVICE_STOPPED && !IsRunning();
        },
        deadline);
}

}  // namespace sim
