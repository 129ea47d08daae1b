// korvalenctl.exe from outside, under Wine: run as its own console process beside the driver
// stand-in, its standard output and error caught in files.
#pragma once

#include "simulator/sim_client.h"
#include "simulator/sim_scenario.h"
#include "tests/support/wine_test_support.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ctltest {

using namespace testsupport;

struct ToolRun {
    std::optional<DWORD> exitCode;  // nothing: it did not end in time
    std::string out;
    std::string err;
};

inline std::string ToolPath() {
    return ExecutableDirectory() + "..\\..\\ctl\\korvalenctl.exe";
}

inline std::string ReadAll(HANDLE file) {
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

inline std::string WithoutCarriageReturns(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

inline win32::UniqueHandle InheritableTempFile() {
    char dir[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "ctl", 0, path);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return win32::UniqueHandle(
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

// Runs the tool with the arguments and waits (with a deadline) for its end; with a token,
// as that token's user (CreateProcessAsUserA).
inline ToolRun RunTool(const std::string& arguments, std::chrono::milliseconds deadline = 30s,
                       HANDLE token = nullptr) {
    ToolRun run;
    win32::UniqueHandle out = InheritableTempFile();
    win32::UniqueHandle err = InheritableTempFile();
    std::string line = "\"" + ToolPath() + "\"";
    if (!arguments.empty()) line += " " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    const BOOL started =
        token ? CreateProcessAsUserA(token, nullptr, buffer.data(), nullptr, nullptr, TRUE,
                                     CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)
              : CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &si, &pi);
    if (!started) return run;
    win32::UniqueHandle process(pi.hProcess);
    win32::UniqueHandle thread(pi.hThread);
    if (WaitUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; },
                  deadline)) {
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        run.exitCode = code;
    } else {
        TerminateProcess(process.get(), 99);
        WaitForSingleObject(process.get(), 5000);
    }
    // The console runtime writes text mode: each line ends in CR LF, as on Windows.
    run.out = WithoutCarriageReturns(ReadAll(out.get()));
    run.err = WithoutCarriageReturns(ReadAll(err.get()));
    return run;
}

inline KorvalenSimScenario With(const std::vector<std::string>& set,
                                const std::vector<std::string>& faults = {}) {
    KorvalenSimScenario s = sim::DefaultScenario();
    EXPECT_EQ(sim::ApplySetOptions(set, s), "");
    EXPECT_EQ(sim::ApplyFaults(faults, s), "");
    return s;
}

inline KorvalenSimCounters Counters() {
    const auto c = sim::GetCounters();
    EXPECT_TRUE(c.has_value());
    return c.value_or(KorvalenSimCounters{});
}

class Tool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim::StartStandIn()) << "the driver stand-in is not installed";
        ASSERT_TRUE(sim::Reset());
    }
    void TearDown() override {
        // Other suites rely on the stand-in's default scenario.
        EXPECT_TRUE(sim::Reset());
    }
    static void Use(const KorvalenSimScenario& scenario) {
        ASSERT_TRUE(sim::SetScenario(scenario));
        ASSERT_TRUE(sim::ResetCounters());
    }
};

}  // namespace ctltest
