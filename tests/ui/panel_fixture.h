// The control panel under test: a real window in this process, with the shell call and
// the status reading replaced by recorders, and slots that are plain functions recording
// their calls in one process-wide log.
#pragma once

#include "status/status_evaluation.h"
#include "tests/support/wine_test_support.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "ui/form_control_panel.h"
#include "ui/tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace paneltest {

// One shell call as the panel made it, with the record as it stood then.
struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

// What the test's stand-ins saw and what they answer.
struct World {
    std::vector<std::string> log;  // slot calls in order: "SetSettings(1)", "Refresh(true)", ...
    std::vector<ShellCall> shell;
    bool shellAnswers = true;       // the result of every shell call
    bool shellAddFails = false;     // NIM_ADD fails (the shell still holds the icon)
    std::int32_t settings = 0;      // GetSettingsProc's answer, SetSettingsProc's store
    bool autostart = false;         // IsAutostartEnabledProc's answer
    bool autostartSticks = true;    // SetAutostartProc changes what IsAutostartEnabled says
    std::uint8_t driverResult = 0;  // the reading UpdateStatus gets
    std::uint8_t hypervisorState = 0;
    std::uint8_t problemFlags = 0;
    int saves = 0;
};
World& TheWorld();

// The shell call the panel under test makes: records it, answers as the world says.
BOOL WINAPI RecordShell(DWORD message, NOTIFYICONDATAA* data);

// The seven slots' stand-ins.
std::int32_t GetSettingsSlot();
void SetSettingsSlot(std::int32_t value);
bool IsAutostartEnabledSlot();
void SetAutostartSlot(bool on);
void RefreshStatusSlot(bool resetBalloon);  // logs, then runs the real RefreshStatus

// The status evaluation the refresh slot runs on the panel under test, reading the
// stand-ins of the world.
status::StatusEvaluation& Evaluation();
void EnableHypervisorSlot();
void DisableHypervisorSlot();

// The balloons among the shell calls, as (title, text, kind).
struct Balloon {
    std::string title;
    std::string text;
    DWORD kind;
};
std::vector<Balloon> Balloons();

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Start-up's wiring: slots, first refresh, control states.
    void WireLikeStartUp();
    // A refresh of the panel under test as the refresh slot runs it (without the log): the
    // evaluation, the panel's ShowStatus, the save.
    void Refresh(bool resetBalloon);
    // Messages the window gets straight, the way the window layer would deliver them.
    void Press(int x, int y, UINT msg = WM_LBUTTONDOWN);
    void Release(int x, int y);
    void Click(int x, int y);
    void DoubleClick(int x, int y);
    void Move(int x, int y);
    [[nodiscard]] unsigned Pixel(int x, int y) const;
    // The panel window's rectangle on the screen, and a move of it that keeps its size.
    [[nodiscard]] RECT Box() const;
    void MoveTo(int left, int top) const;
    // Whether a rectangle lies wholly inside an area.
    static bool Inside(const RECT& box, const RECT& area);
    // A pixel of image `index` of the tab image list, and a place where two images differ.
    [[nodiscard]] unsigned TabImagePixel(int index, int x, int y) const;
    [[nodiscard]] POINT DifferingPixel(int a, int b) const;
    // Runs step from a timer, inside whatever loop runs (a modal loop, a menu), every
    // 20 ms until it returns true.
    static void WhileInLoop(std::function<bool()> step);
    // Takes every quit message out of this thread's queue and counts them.
    static int QuitMessagesQueued();

    toolkit::Application app{"Korvalen control panel"};
    long decodesBeforePanel = 0;  // the picture decoder's count when SetUp made the panel
    toolkit::FormPtr<ui::TfrmControlPanel> panel;
    HWND hwnd = nullptr;
};

}  // namespace paneltest
