// The driver link under Wine against the driver stand-in: the real device calls, every
// scenario and fault of the stand-in, the texts the commands show, and every handle closed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/driver_link.h"
#include "simulator/sim_client.h"
#include "simulator/sim_scenario.h"
#include "status/status_texts.h"
#include "tests/support/test_thread.h"
#include "tests/support/wine_test_support.h"

namespace {

using namespace driver;
using namespace std::chrono_literals;
using status::kCannotEnableText;
using status::kCommunicationErrorText;
using status::kDriverWorksWithErrorsText;
using testsupport::WaitUntil;
using Texts = std::vector<std::string>;
using Lengths = std::vector<std::uint32_t>;

// The texts the commands handed over, and whether the device was still open at the time.
struct Captured {
    Texts texts;
    bool deviceOpenDuringMessage = false;
};
Captured g_captured;

// Closes reach the stand-in after CloseHandle returns, so they are waited for.
bool AllHandlesClosed() {
    return WaitUntil(
        [] {
            const auto c = sim::GetCounters();
            return c && c->opens == c->closes;
        },
        3s);
}

// Takes a command's text as the one who shows it would.
void Capture(HypervisorCommand command, const CommandOutcome& outcome) {
    const char* text = status::CommandMessage(command, outcome);
    if (text == nullptr) return;
    g_captured.texts.emplace_back(text);
    if (!AllHandlesClosed()) g_captured.deviceOpenDuringMessage = true;
}

// The opens this process makes, as CreateFileA was asked for them: the test replaces the
// executable's import of CreateFileA for as long as a RecordingDeviceOpens lives.
struct DeviceOpen {
    std::string path;
    DWORD access;
    DWORD share;
    DWORD disposition;
};
std::vector<DeviceOpen>* g_opens = nullptr;
decltype(&CreateFileA) g_realCreateFile = nullptr;

HANDLE WINAPI RecordCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                               DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (g_opens && path && std::string(path) == "\\\\.\\Korvalen")
        g_opens->push_back({path, access, share, disposition});
    return g_realCreateFile(path, access, share, sa, disposition, flags, templateFile);
}

// The import-table slot through which this executable calls CreateFileA.
void** CreateFileImportSlot() {
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "kernel32.dll") != 0) continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::string(reinterpret_cast<const char*>(byName->Name)) == "CreateFileA")
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void SetImportSlot(void** slot, void* target) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = target;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

class RecordingDeviceOpens {
public:
    explicit RecordingDeviceOpens(std::vector<DeviceOpen>& opens) : slot_(CreateFileImportSlot()) {
        EXPECT_NE(slot_, nullptr) << "no import of CreateFileA";
        if (!slot_) return;
        g_realCreateFile = reinterpret_cast<decltype(&CreateFileA)>(*slot_);
        g_opens = &opens;
        SetImportSlot(slot_, reinterpret_cast<void*>(&RecordCreateFile));
    }
    ~RecordingDeviceOpens() {
        if (slot_) SetImportSlot(slot_, reinterpret_cast<void*>(g_realCreateFile));
        g_opens = nullptr;
    }
    RecordingDeviceOpens(const RecordingDeviceOpens&) = delete;
    RecordingDeviceOpens& operator=(const RecordingDeviceOpens&) = delete;

private:
    void** slot_;
};

// What a driver may see of a read-only open: the read rights and the standard ones that
// come with them, never a right to write, delete or change the device.
constexpr DWORD kReadOnlyAccess = GENERIC_READ | FILE_GENERIC_READ;

class DriverLink : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim::StartStandIn()) << "the driver stand-in is not installed";
        ASSERT_TRUE(sim::Reset());
        g_captured = {};
        ReleaseProcessorStatusTable();
    }
    void TearDown() override {
        // Other suites rely on the stand-in's default scenario.
        EXPECT_TRUE(sim::StartStandIn());
        EXPECT_TRUE(sim::Reset());
        ReleaseProcessorStatusTable();
    }

    static void Use(KorvalenSimScenario scenario) {
        ASSERT_TRUE(sim::SetScenario(scenario));
        ASSERT_TRUE(sim::ResetCounters());
    }
    static KorvalenSimScenario With(const std::vector<std::string>& set,
                                    const std::vector<std::string>& faults = {}) {
        KorvalenSimScenario s = sim::DefaultScenario();
        EXPECT_EQ(sim::ApplySetOptions(set, s), "");
        EXPECT_EQ(sim::ApplyFaults(faults, s), "");
        return s;
    }
    static KorvalenSimCounters Counters() {
        EXPECT_TRUE(AllHandlesClosed());
        const auto c = sim::GetCounters();
        EXPECT_TRUE(c.has_value());
        return c.value_or(KorvalenSimCounters{});
    }
    static Lengths ReadLengths(const KorvalenSimCounters& c) {
        return Lengths(c.readLengths, c.readLengths + std::min<std::uint32_t>(c.reads, 32));
    }
    static std::vector<std::uint32_t> Statuses() {
        std::vector<std::uint32_t> out;
        for (const ProcessorStatus& p : CurrentProcessorStatusTable()) out.push_back(p.Status);
        return out;
    }
};

TEST_F(DriverLink, DefaultScenarioReadsFourEnabledProcessors) {
    ASSERT_TRUE(sim::ResetCounters());
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
    EXPECT_EQ(CurrentProcessorStatusTable()[3].Id, 3u);
    EXPECT_EQ(GetHypervisorState(), kEnabledEverywhere);
    EXPECT_EQ(GetProblemFlags(), 0);
    const auto c = Counters();
    EXPECT_EQ(ReadLengths(c), (Lengths{16, 80}));
    EXPECT_EQ(c.opens, 1u);
}

TEST_F(DriverLink, ScenarioStatusWordsAreReadAndCondensed) {
    Use(With({"--status", "0x1,0x1,0x10000000"}));
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{1, 1, 0x10000000}));
    EXPECT_EQ(GetHypervisorState(), kEnabledPartly);
    EXPECT_EQ(GetProblemFlags(), kProcessorNotSupported);
    EXPECT_EQ(ReadLengths(Counters()), (Lengths{16, 64}));

    Use(With({"--status", "0x50000000,0xF0000000,0x80000000,0x20000000,0x30000000,0x40000000"}));
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(GetHypervisorState(), kEnabledNowhere);
    EXPECT_EQ(GetProblemFlags(), 0x3E);
    EXPECT_EQ(ReadLengths(Counters()), (Lengths{16, 112}));
}

TEST_F(DriverLink, FaultsGiveTheirResultsAndKeepTheTable) {
    struct Case {
        std::vector<std::string> faults;
        DriverResult result;
        Lengths reads;
    };
    const Case cases[] = {
        {{"absent"}, kDeviceNotOpened, {}},
        {{"first-read"}, kReadFailed, {16}},
        {{"second-read"}, kReadFailed, {16, 48}},
        {{"count-minus-one"}, kDriverError, {16}},
        {{"second-count-zero"}, kDriverError, {16, 48}},
        {{"second-count-larger"}, kDriverError, {16, 48}},
        {{"first-count", "0x80000002"}, kDriverError, {16}},
        {{"first-count", "0x100000000"}, kDriverError, {16}},
        {{"first-count", "0x0FFFFFFF"}, kDriverError, {16}},
        {{"first-count", "0x0FFFFFFE"}, kDriverError, {16}},  // 4 GB: refused, not read
        {{"first-count", "0x10001"}, kDriverError, {16}},     // one above the bound
        {{"first-count", "0"}, kDriverError, {16, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults[0] + (c.faults.size() > 1 ? " " + c.faults[1] : ""));
        ASSERT_TRUE(sim::Reset());
        ASSERT_EQ(ReadDriverStatus(), kStatusRead);  // the four enabled processors
        Use(With({"--status", "0,0"}, c.faults));
        EXPECT_EQ(ReadDriverStatus(), c.result);
        EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
        EXPECT_EQ(GetHypervisorState(), kEnabledEverywhere);
        const auto counters = Counters();
        EXPECT_EQ(ReadLengths(counters), c.reads);
        EXPECT_EQ(counters.opens, c.result == kDeviceNotOpened ? 0u : 1u);
    }
}

TEST_F(DriverLink, AFirstCountAtTheBoundIsReadInOneMegabyte) {
    Use(With({"--status", "0,1"}, {"first-count", "0x10000"}));
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);  // the second read's Count: two records
    EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(ReadLengths(Counters()), (Lengths{16, 65537 * 16}));
}

TEST_F(DriverLink, ARefreshWithAnImplausibleCountReturnsAtOnce) {
    Use(With({"--status", "0,0"}, {"first-count", "0x0FFFFFFE"}));
    // On a thread of its own, so that a read that ran on for seconds is seen as such.
    std::atomic<int> result{-1};
    testsupport::TestThread refresh([&result] { result = ReadDriverStatus(); });
    const bool returned = WaitUntil([&result] { return result.load() >= 0; }, 5s);
    refresh.Join();
    EXPECT_TRUE(returned) << "the read ran on past the deadline";
    EXPECT_EQ(result.load(), kDriverError);
    EXPECT_EQ(ReadLengths(Counters()), (Lengths{16}));
    EXPECT_TRUE(CurrentProcessorStatusTable().empty()) << "the table is unchanged";
}

TEST_F(DriverLink, EveryOpenIsForReadingOnlyAndUnshared) {
    ASSERT_TRUE(sim::ResetCounters());
    std::vector<DeviceOpen> opens;
    {
        const RecordingDeviceOpens recording(opens);
        ASSERT_EQ(ReadDriverStatus(), kStatusRead);
        ASSERT_TRUE(IsDriverPresent());
        (void)EnableHypervisor();
        (void)DisableHypervisor();
    }
    const auto c = Counters();
    ASSERT_EQ(c.opens, 4u) << "status read, probe, enable, disable";
    ASSERT_EQ(opens.size(), 4u);
    for (std::uint32_t i = 0; i < c.opens; ++i) {
        SCOPED_TRACE(i);
        // The share mode as the driver sees it. Wine hands drivers no desired access
        // (the stand-in then records it as unknown): that is taken from the call.
        EXPECT_EQ(c.openShare[i], 0u) << "no sharing";
        EXPECT_TRUE(c.openAccess[i] == KORVALEN_SIM_ACCESS_UNKNOWN ||
                    (c.openAccess[i] & ~kReadOnlyAccess) == 0)
            << std::hex << c.openAccess[i];
        EXPECT_EQ(opens[i].path, "\\\\.\\Korvalen");
        EXPECT_EQ(opens[i].access, static_cast<DWORD>(GENERIC_READ));
        EXPECT_EQ(opens[i].share, 0u);
        EXPECT_EQ(opens[i].disposition, static_cast<DWORD>(OPEN_EXISTING));
    }
}

TEST_F(DriverLink, ShortReadLeavesZerosBeyondWhatWasDelivered) {
    // Header, the first record and the next record's Id: the rest stays zero.
    Use(With({"--status", "1,1,1,1"}, {"short-read", "40"}));
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{1, 0, 0, 0}));
    EXPECT_EQ(CurrentProcessorStatusTable()[1].Id, 1u);
    EXPECT_EQ(GetHypervisorState(), kEnabledPartly);
    EXPECT_EQ(ReadLengths(Counters()), (Lengths{16, 80}));
}

TEST_F(DriverLink, StoppedServiceLooksLikeNoDriver) {
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    ASSERT_TRUE(sim::StopStandIn());
    EXPECT_FALSE(IsDriverPresent());
    EXPECT_EQ(ReadDriverStatus(), kDeviceNotOpened);
    EXPECT_EQ(CurrentProcessorStatusTable().size(), 4u);
    Capture(HypervisorCommand::Enable, EnableHypervisor());
    Capture(HypervisorCommand::Disable, DisableHypervisor());
    EXPECT_EQ(g_captured.texts, Texts{});
    ASSERT_TRUE(sim::StartStandIn());
    EXPECT_TRUE(IsDriverPresent());
}

TEST_F(DriverLink, IsDriverPresentOpensAndClosesOnce) {
    ASSERT_TRUE(sim::ResetCounters());
    EXPECT_TRUE(IsDriverPresent());
    auto c = Counters();
    EXPECT_EQ(c.opens, 1u);
    EXPECT_EQ(c.reads, 0u);
    Use(With({}, {"absent"}));
    EXPECT_FALSE(IsDriverPresent());
    c = Counters();
    EXPECT_EQ(c.opens, 0u);
    ASSERT_TRUE(sim::Reset());
    EXPECT_TRUE(IsDriverPresent());
}

TEST_F(DriverLink, EnableSwitchesEveryProcessorWithoutProblem) {
    Use(With({"--status", "0,0,0x30000000"}));
    Capture(HypervisorCommand::Enable, EnableHypervisor());
    EXPECT_EQ(g_captured.texts, Texts{});
    EXPECT_EQ(Counters().enables, 1u);
    ASSERT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(Statuses(), (std::vector<std::uint32_t>{1, 1, 0x30000000}));
    Capture(HypervisorCommand::Disable, DisableHypervisor());
    EXPECT_EQ(g_captured.texts, Texts{});
    ASSERT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(GetHypervisorState(), kEnabledNowhere);
    EXPECT_EQ(Counters().disables, 1u);
}

TEST_F(DriverLink, EachCommandShowsExactlyItsText) {
    struct Case {
        std::vector<std::string> set;
        std::vector<std::string> faults;
        Texts afterEnable;
        Texts afterDisable;
    };
    const std::string vm = kCannotEnableText;
    const std::string errors = kDriverWorksWithErrorsText;
    const std::string failed = kCommunicationErrorText;
    const Case cases[] = {
        {{"--enable-answer", "1", "--disable-answer", "1"}, {}, {vm}, {}},
        {{"--enable-answer", "255", "--disable-answer", "255"}, {}, {errors}, {errors}},
        {{"--enable-answer", "2", "--disable-answer", "2"}, {}, {}, {}},
        {{"--enable-answer", "254", "--disable-answer", "254"}, {}, {}, {}},
        {{"--enable-answer", "0x101", "--disable-answer", "0x1FF"}, {}, {}, {}},
        {{"--enable-answer", "1", "--disable-answer", "255"}, {"control"}, {failed}, {failed}},
        {{"--enable-answer", "0x1FF", "--disable-answer", "0x1FF"},
         {"short-answer", "1"},
         {errors},
         {errors}},
        {{"--enable-answer", "1", "--disable-answer", "255"}, {"short-answer", "0"}, {}, {}},
        {{"--enable-answer", "1", "--disable-answer", "255"}, {"absent"}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set[1] + " " + c.set[3] + (c.faults.empty() ? "" : " " + c.faults[0]));
        Use(With(c.set, c.faults));
        g_captured = {};
        Capture(HypervisorCommand::Enable, EnableHypervisor());
        EXPECT_EQ(g_captured.texts, c.afterEnable);
        g_captured.texts.clear();
        Capture(HypervisorCommand::Disable, DisableHypervisor());
        EXPECT_EQ(g_captured.texts, c.afterDisable);
        EXPECT_FALSE(g_captured.deviceOpenDuringMessage);
        const auto counters = Counters();
        const std::uint32_t sent = c.faults == std::vector<std::string>{"absent"} ? 0 : 1;
        EXPECT_EQ(counters.enables, sent);
        EXPECT_EQ(counters.disables, sent);
        EXPECT_EQ(counters.opens, sent * 2);
    }
}

TEST_F(DriverLink, CommandsHandBackTheirOutcome) {
    Use(With({"--enable-answer", "1", "--disable-answer", "7"}));
    const CommandOutcome refused = EnableHypervisor();
    EXPECT_EQ(refused.result, CommandResult::Answered);
    EXPECT_EQ(refused.answer, 1u);
    EXPECT_STREQ(status::CommandMessage(HypervisorCommand::Enable, refused), kCannotEnableText);
    const CommandOutcome quiet = DisableHypervisor();
    EXPECT_EQ(quiet.result, CommandResult::Answered);
    EXPECT_EQ(quiet.answer, 7u);
    EXPECT_EQ(status::CommandMessage(HypervisorCommand::Disable, quiet), nullptr);
    EXPECT_EQ(Counters().opens, 2u);
    Use(With({}, {"absent"}));
    EXPECT_EQ(EnableHypervisor().result, CommandResult::NotOpened);
}

TEST_F(DriverLink, ControlToolChangesTheScenario) {
    const std::string tool =
        testsupport::ExecutableDirectory() + "..\\..\\simulator\\korvalen-sim.exe";
    EXPECT_EQ(testsupport::RunProgram(tool + " set --status 0x1,0x10000000 --enable-answer 1"), 0u);
    EXPECT_EQ(testsupport::RunProgram(tool + " fault second-count-larger"), 0u);
    const auto scenario = sim::GetScenario();
    ASSERT_TRUE(scenario.has_value());
    EXPECT_EQ(scenario->processorCount, 2u);
    EXPECT_EQ(scenario->status[1], 0x10000000u);
    EXPECT_EQ(scenario->enableAnswer, 1u);
    EXPECT_EQ(ReadDriverStatus(), kDriverError);
    EXPECT_EQ(testsupport::RunProgram(tool + " reset"), 0u);
    EXPECT_EQ(ReadDriverStatus(), kStatusRead);
    EXPECT_EQ(CurrentProcessorStatusTable().size(), 4u);
    EXPECT_EQ(testsupport::RunProgram(tool + " fault sideways"), 1u);
}

}  // namespace
