#include "tests/ui/panel_fixture.h"

#include "settings/settings_store.h"
#include "toolkit/picture.h"
#include "toolkit/picture_loader.h"
#include "toolkit/render.h"

#include <functional>

namespace paneltest {

World& TheWorld() {
    static World world;
    return world;
}

BOOL WINAPI RecordShell(DWORD message, NOTIFYICONDATAA* data) {
    auto& w = TheWorld();
    w.shell.push_back({message, *data});
    if (message == NIM_ADD && w.shellAddFails) return FALSE;
    return w.shellAnswers ? TRUE : FALSE;
}

namespace {

driver::DriverResult ReadStandIn() {
    return TheWorld().driverResult;
}
driver::HypervisorState StateStandIn() {
    return TheWorld().hypervisorState;
}
driver::ProblemFlags FlagsStandIn() {
    return TheWorld().problemFlags;
}
void SaveStandIn() {
    ++TheWorld().saves;
}

// The panel that the refresh slot works on.
ui::TfrmControlPanel* g_panel = nullptr;

// What the program's refresh does: evaluate, hand the panel the result, save.
void RefreshPanel(ui::TfrmControlPanel& panel, bool resetBalloon) {
    panel.ShowStatus(Evaluation().RefreshStatus(resetBalloon));
    Evaluation().SaveSettings();
}

}  // namespace

status::StatusEvaluation& Evaluation() {
    static status::StatusEvaluation evaluation(
        {&ReadStandIn, &StateStandIn, &FlagsStandIn, &SaveStandIn});
    return evaluation;
}

std::int32_t GetSettingsSlot() {
    TheWorld().log.push_back("GetSettings");
    return TheWorld().settings;
}
void SetSettingsSlot(std::int32_t value) {
    TheWorld().log.push_back("SetSettings(" + std::to_string(value) + ")");
    TheWorld().settings = value;
}
bool IsAutostartEnabledSlot() {
    TheWorld().log.push_back("IsAutostartEnabled");
    return TheWorld().autostart;
}
void SetAutostartSlot(bool on) {
    TheWorld().log.push_back(on ? "SetAutostart(true)" : "SetAutostart(false)");
    if (TheWorld().autostartSticks) TheWorld().autostart = on;
}
void RefreshStatusSlot(bool resetBalloon) {
    TheWorld().log.push_back(resetBalloon ? "Refresh(true)" : "Refresh(false)");
    if (g_panel) RefreshPanel(*g_panel, resetBalloon);
}
void EnableHypervisorSlot() {
    TheWorld().log.push_back("Enable");
}
void DisableHypervisorSlot() {
    TheWorld().log.push_back("Disable");
}

std::vector<Balloon> Balloons() {
    std::vector<Balloon> out;
    for (const auto& call : TheWorld().shell)
        if (call.message == NIM_MODIFY && (call.data.uFlags & NIF_INFO))
            out.push_back({call.data.szInfoTitle, call.data.szInfo, call.data.dwInfoFlags});
    return out;
}

void PanelTest::SetUp() {
    TheWorld() = World{};
    Evaluation().BalloonShown = false;
    // As at the program's start: a whole-suite run keeps what an earlier test stored.
    settings::Messages = 0;
    settings::Settings = 0;
    // The real pointer stays in a corner, away from the centred window.
    ASSERT_TRUE(testsupport::PlacePointer(testsupport::ScreenCorner()));
    decodesBeforePanel = toolkit::PictureDecodeCount();
    panel = toolkit::MakeForm<ui::TfrmControlPanel>(app, &RecordShell);
    hwnd = panel->Handle();
    g_panel = panel.get();
}

void PanelTest::TearDown() {
    g_panel = nullptr;
    panel.reset();
    // Leave no quit message behind for the next test in this process.
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void PanelTest::WireLikeStartUp() {
    panel->GetSettingsProc = &GetSettingsSlot;
    panel->SetSettingsProc = &SetSettingsSlot;
    panel->IsAutostartEnabledProc = &IsAutostartEnabledSlot;
    panel->SetAutostartProc = &SetAutostartSlot;
    panel->RefreshStatusProc = &RefreshStatusSlot;
    panel->EnableHypervisorProc = &EnableHypervisorSlot;
    panel->DisableHypervisorProc = &DisableHypervisorSlot;
    panel->RefreshStatusProc(true);
    panel->LoadControlStates();
    TheWorld().log.clear();
}

void PanelTest::Refresh(bool resetBalloon) {
    RefreshPanel(*panel, resetBalloon);
}

void PanelTest::Press(int x, int y, UINT msg) {
    const WPARAM keys = msg == WM_RBUTTONDOWN   ? MK_RBUTTON
                        : msg == WM_MBUTTONDOWN ? MK_MBUTTON
                                                : MK_LBUTTON;
    SendMessageA(hwnd, msg, keys, MAKELPARAM(x, y));
}
void PanelTest::Release(int x, int y) {
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void PanelTest::Click(int x, int y) {
    Press(x, y);
    Release(x, y);
}
void PanelTest::DoubleClick(int x, int y) {
    Click(x, y);
    Press(x, y, WM_LBUTTONDBLCLK);
    Release(x, y);
}
void PanelTest::Move(int x, int y) {
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

RECT PanelTest::Box() const {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

void PanelTest::MoveTo(int left, int top) const {
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PanelTest::Inside(const RECT& box, const RECT& area) {
    return box.left >= area.left && box.top >= area.top && box.right <= area.right &&
           box.bottom <= area.bottom;
}

unsigned PanelTest::Pixel(int x, int y) const {
    return toolkit::RenderClient(hwnd).At(x, y);
}

unsigned PanelTest::TabImagePixel(int index, int x, int y) const {
    toolkit::Picture picture;
    panel->imglstButtons.GetBitmap(index, picture);
    const toolkit::PictureCanvas canvas(picture);
    return testsupport::Rgb(GetPixel(canvas.Dc(), x, y));
}

POINT PanelTest::DifferingPixel(int a, int b) const {
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 95; ++x)
            if (TabImagePixel(a, x, y) != TabImagePixel(b, x, y)) return {x, y};
    ADD_FAILURE() << "tab images " << a << " and " << b << " are alike";
    return {0, 0};
}

namespace {
std::function<bool()> g_modalStep;
void CALLBACK ModalTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_modalStep || g_modalStep()) {
        KillTimer(nullptr, id);
        g_modalStep = nullptr;
    }
}
}  // namespace

void PanelTest::WhileInLoop(std::function<bool()> step) {
    g_modalStep = std::move(step);
    SetTimer(nullptr, 0, 20, &ModalTick);
}

int PanelTest::QuitMessagesQueued() {
    int count = 0;
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ++count;
    return count;
}

}  // namespace paneltest
