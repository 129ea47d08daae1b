#include "ui/form_control_panel.h"

#include "ui/plain_looks.h"

#include "resources/resource_names.h"
#include "status/status_texts.h"

namespace ui {

namespace {

constexpr toolkit::HandlerEntry<TfrmControlPanel> kHandlers[] = {
    {"FormCreate", &TfrmControlPanel::FormCreate},
    {"FormDestroy", &TfrmControlPanel::FormDestroy},
    {"FormShow", &TfrmControlPanel::FormShow},
    {"FormMouseDown", &TfrmControlPanel::FormMouseDown},
    {"imgBackgroundMouseDown", &TfrmControlPanel::imgBackgroundMouseDown},
    {"imgCaptionStatusMouseDown", &TfrmControlPanel::imgCaptionStatusMouseDown},
    {"imgCaptionSettingsMouseDown", &TfrmControlPanel::imgCaptionSettingsMouseDown},
    {"btnCloseClick", &TfrmControlPanel::btnCloseClick},
    {"imgStatusTabClick", &TfrmControlPanel::imgStatusTabClick},
    {"imgSettingsTabClick", &TfrmControlPanel::imgSettingsTabClick},
    {"imgStatusTabMouseOver", &TfrmControlPanel::imgStatusTabMouseOver},
    {"imgStatusTabMouseOut", &TfrmControlPanel::imgStatusTabMouseOut},
    {"imgSettingsTabMouseOver", &TfrmControlPanel::imgSettingsTabMouseOver},
    {"imgSettingsTabMouseOut", &TfrmControlPanel::imgSettingsTabMouseOut},
    {"lbAutostartUserCPClick", &TfrmControlPanel::lbAutostartUserCPClick},
    {"lbAutomaticDisableClick", &TfrmControlPanel::lbAutomaticDisableClick},
    {"chkAutostartUserCPClick", &TfrmControlPanel::chkAutostartUserCPClick},
    {"chkAutomaticDisableClick", &TfrmControlPanel::chkAutomaticDisableClick},
    {"lbEnableClick", &TfrmControlPanel::lbEnableClick},
    {"lbDisableClick", &TfrmControlPanel::lbDisableClick},
};

constexpr toolkit::ComponentKind kKinds[] = {
    {"TExtendedImage", &toolkit::MakeComponent<TExtendedImage>}};

constexpr toolkit::MessageEntry<TfrmControlPanel> kMessages[] = {
    {kTrayCallbackMessage, &TfrmControlPanel::WMTrayIcon},
    {WM_SYSCOMMAND, &TfrmControlPanel::WMSystemCommand},
    {WM_COMMAND, &TfrmControlPanel::WMCommand},
    {WM_KEYDOWN, &TfrmControlPanel::WMKeyDown},
    {WM_QUERYENDSESSION, &TfrmControlPanel::WMQueryEndSession},
    {WM_ENDSESSION, &TfrmControlPanel::WMEndSession},
    {WM_TIMER, &TfrmControlPanel::WMTimer},
    {WM_DISPLAYCHANGE, &TfrmControlPanel::WMDisplayChange},
};

constexpr WPARAM kSystemCommandMask = 0xFFF0;  // the low four bits are the system's own

}  // namespace

std::span<const toolkit::HandlerEntry<TfrmControlPanel>> TfrmControlPanel::Handlers() {
    return kHandlers;
}

std::span<const toolkit::ComponentKind> TfrmControlPanel::Kinds() {
    return kKinds;
}

TfrmControlPanel::TfrmControlPanel(toolkit::Application& app, ShellNotifyFunction shellNotify,
                                   MessageFilterFunction messageFilter)
    : Form(app, {"TFRMCONTROLPANEL", toolkit::BindHandlers(this, Handlers()), kKinds}),
      shellNotify_(shellNotify) {
    BindMessages(this, kMessages);
    ExposeComponents();
    SetPlainLooks(*this);
    // The shell announces a new taskbar with this message; the icon has to come back.
    const UINT taskbarCreated = ui::TrayIcon::TaskbarCreatedMessage();
    if (taskbarCreated == 0) return;
    SetMessageHandler(taskbarCreated, [this](toolkit::Message& m) { WMTaskbarCreated(m); });
    // The panel writes the machine's Run key, so administrators run it elevated; the
    // system would then drop the taskbar's broadcast, sent from a lower integrity level.
    if (messageFilter) messageFilter(Handle(), taskbarCreated, kMessageFilterAllow, nullptr);
}

// ---- creation and destruction ----

void TfrmControlPanel::ExposeComponents() {
    using toolkit::access::Role;
    toolkit::FocusManager& focus = Focus();
    focus.Expose(imgStatusTab, Role::PageTab, "Status", -1,
                 [this] { return SettingsTabActive == 0; });
    focus.Expose(imgSettingsTab, Role::PageTab, "Settings", -1,
                 [this] { return SettingsTabActive == 1; });
    focus.Expose(lbGeneralStatus, Role::StaticText);
    focus.Expose(lbGeneralDescription, Role::StaticText);
    focus.Expose(lbEnable, Role::PushButton, {}, 0);
    focus.Expose(lbDisable, Role::PushButton, {}, 1);
    // Each box beside the text that names it; Tab visits the boxes in their tab order.
    focus.ExposeWindow(chkAutostartUserCP, lbAutostartUserCP);
    focus.Expose(lbAutostartUserCP, Role::StaticText);
    focus.ExposeWindow(chkAutomaticDisable, lbAutomaticDisable);
    focus.Expose(lbAutomaticDisable, Role::StaticText);
    focus.Expose(btnClose, Role::PushButton, "Close");
}

void TfrmControlPanel::FormCreate(toolkit::Object&) {
    SetDoubleBuffered(true);
    RefreshStatusProc = nullptr;
    // The tabs name their list images now; they are drawn when the pictures are decoded,
    // at the first show.
    imgStatusTabClick(*this);

    auto menu = std::make_unique<toolkit::PopupMenu>();
    menu->Add("Korvalen status", [this](toolkit::Object& s) { OnShowStatus(s); });
    menu->Add("Korvalen settings", [this](toolkit::Object& s) { OnShowSettings(s); });
    menu->Add("-");
    menu->Add("Exit", [this](toolkit::Object& s) { OnExit(s); });
    // The tray shows small icons: the resource's image of the system's small-icon size
    // (16 px at 100 %, 24 at 150 %), drawn for that size, never a stretched one.
    const int small = GetSystemMetrics(SM_CXSMICON);
    win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageA(Module(), resources::kTrayIcon, IMAGE_ICON, small, small, 0)));
    tray_ =
        std::make_unique<ui::TrayIcon>(Handle(), std::move(icon), std::move(menu), shellNotify_);
    App().SetMessageHook([this](MSG& message) { return OnMessage(message); });
}

void TfrmControlPanel::FormDestroy(toolkit::Object&) {
    // The hook is bound to this window, which is going.
    App().SetMessageHook({});
    tray_.reset();  // removes the icon, frees the menu and the icon handle
}

void TfrmControlPanel::FormShow(toolkit::Object&) {
    // Its remembered place can lie on a monitor that is gone (a laptop off its dock).
    KeepOnAMonitor();
    if (RefreshStatusProc) RefreshStatusProc(false);
}

// ---- moving ----

void TfrmControlPanel::FormMouseDown(toolkit::Object&, toolkit::MouseButton, std::uint32_t, int,
                                     int) {
    StartSystemMove();
}

void TfrmControlPanel::imgBackgroundMouseDown(toolkit::Object&, toolkit::MouseButton, std::uint32_t,
                                              int, int) {
    StartSystemMove();
}

void TfrmControlPanel::imgCaptionStatusMouseDown(toolkit::Object&, toolkit::MouseButton,
                                                 std::uint32_t, int, int) {
    StartSystemMove();
}

void TfrmControlPanel::imgCaptionSettingsMouseDown(toolkit::Object&, toolkit::MouseButton,
                                                   std::uint32_t, int, int) {
    StartSystemMove();
}

// ---- hiding ----

void TfrmControlPanel::btnCloseClick(toolkit::Object&) {
    Hide();
}

void TfrmControlPanel::WMSystemCommand(toolkit::Message& message) {
    const WPARAM command = message.wParam & kSystemCommandMask;
    if (command == SC_MINIMIZE || command == SC_CLOSE) {
        Hide();
        message.result = 0;
        return;
    }
    Inherited(message);
}

void TfrmControlPanel::WMKeyDown(toolkit::Message& message) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (message.wParam) {
        case VK_ESCAPE: btnCloseClick(*this); return;
        case VK_TAB:
        case VK_PRIOR:
        case VK_NEXT:
            // Ctrl+Tab, Ctrl+PgDn and back: with two pages, each goes to the other one.
            if (!ctrl) break;
            if (SettingsTabActive == 0)
                imgSettingsTabClick(*this);
            else
                imgStatusTabClick(*this);
            return;
        default: break;
    }
    Inherited(message);
}

bool TfrmControlPanel::OnMessage(MSG& message) {
    if (message.message != WM_SYSCOMMAND) return false;
    Hide();
    return true;
}

// ---- tabs ----

void TfrmControlPanel::ShowControls(std::span<toolkit::Component* const> controls) {
    for (toolkit::Component* control : controls) control->Show();
}

void TfrmControlPanel::HideControls(std::span<toolkit::Component* const> controls) {
    for (toolkit::Component* control : controls) control->Hide();
}

void TfrmControlPanel::RedrawTab(toolkit::Image& tab, int image) {
    tab.ShowListImage(imglstButtons, image);
    tab.Repaint();
}

void TfrmControlPanel::imgStatusTabClick(toolkit::Object&) {
    HideControls(settingsTab_);
    ShowControls(statusTab_);
    SettingsTabActive = 0;
    RedrawTab(imgStatusTab, resources::kStatusTabSelected);
    RedrawTab(imgSettingsTab, resources::kSettingsTabNormal);
    imgCaptionStatus.Show();
    imgCaptionSettings.Hide();
}

void TfrmControlPanel::imgSettingsTabClick(toolkit::Object&) {
    HideControls(statusTab_);
    ShowControls(settingsTab_);
    SettingsTabActive = 1;
    RedrawTab(imgStatusTab, resources::kStatusTabNormal);
    RedrawTab(imgSettingsTab, resources::kSettingsTabSelected);
    imgCaptionStatus.Hide();
    imgCaptionSettings.Show();
}

// Only the tab that is not selected shows the pointer over it.
void TfrmControlPanel::imgStatusTabMouseOver(toolkit::Object&) {
    if (SettingsTabActive != 0) RedrawTab(imgStatusTab, resources::kStatusTabHover);
}

void TfrmControlPanel::imgStatusTabMouseOut(toolkit::Object&) {
    if (SettingsTabActive != 0) RedrawTab(imgStatusTab, resources::kStatusTabNormal);
}

void TfrmControlPanel::imgSettingsTabMouseOver(toolkit::Object&) {
    if (SettingsTabActive != 1) RedrawTab(imgSettingsTab, resources::kSettingsTabHover);
}

void TfrmControlPanel::imgSettingsTabMouseOut(toolkit::Object&) {
    if (SettingsTabActive != 1) RedrawTab(imgSettingsTab, resources::kSettingsTabNormal);
}

// ---- settings ----

void TfrmControlPanel::ReadPolicy() {
    policy_ = GetPolicyProc ? GetPolicyProc() : settings::MachinePolicy{};
}

bool TfrmControlPanel::DisableBoxFixed() const noexcept {
    return policy_.disableHypervisorAtStart.has_value() || !policy_.SettingsChangeAllowed();
}

void TfrmControlPanel::LoadControlStates() {
    ReadPolicy();
    // Checking a box runs its click handler; ControlsReady is still false, so the
    // autostart handler registers nothing again.
    if (policy_.disableHypervisorAtStart)
        chkAutomaticDisable.SetChecked(*policy_.disableHypervisorAtStart);
    else if (GetSettingsProc && (GetSettingsProc() & 1) == 1)
        chkAutomaticDisable.SetChecked(true);
    if (IsAutostartEnabledProc && IsAutostartEnabledProc()) chkAutostartUserCP.SetChecked(true);
    const bool settingsChange = policy_.SettingsChangeAllowed();
    chkAutostartUserCP.SetEnabled(settingsChange);
    lbAutostartUserCP.SetEnabled(settingsChange);
    // A screen reader says why a box the policy decides is unavailable: each text's hint
    // serves the box it names as well.
    const std::string settingsHint = settingsChange ? "" : status::kSettingsChangeTurnedOffText;
    lbAutostartUserCP.SetHint(settingsHint);
    lbAutomaticDisable.SetHint(
        policy_.disableHypervisorAtStart ? status::kDisableAtStartSetByPolicyText : settingsHint);
    const bool disableBox = chkAutostartUserCP.Checked() && !DisableBoxFixed();
    chkAutomaticDisable.SetEnabled(disableBox);
    lbAutomaticDisable.SetEnabled(disableBox);
    const CommandLabels labels =
        DecideCommandLabels(LabelCaller::LoadControlStates, DriverResult, HypervisorState,
                            ProblemFlags, {lbEnable.Enabled(), lbDisable.Enabled()});
    SetCommandLabels(labels.enable, labels.disable);
    ControlsReady = true;
}

void TfrmControlPanel::lbAutostartUserCPClick(toolkit::Object&) {
    if (!policy_.SettingsChangeAllowed()) return;
    chkAutostartUserCP.SetChecked(!chkAutostartUserCP.Checked());
}

void TfrmControlPanel::lbAutomaticDisableClick(toolkit::Object&) {
    if (DisableBoxFixed()) return;
    chkAutomaticDisable.SetChecked(!chkAutomaticDisable.Checked());
}

void TfrmControlPanel::chkAutostartUserCPClick(toolkit::Object&) {
    const bool checked = chkAutostartUserCP.Checked();
    chkAutomaticDisable.SetEnabled(checked && !DisableBoxFixed());
    lbAutomaticDisable.SetEnabled(checked && !DisableBoxFixed());
    if (!SetAutostartProc || !ControlsReady || reflectingAutostart_) return;
    if (!policy_.SettingsChangeAllowed()) return;
    SetAutostartProc(checked);
    // The registration can fail: the box then shows what the Run key really holds, without
    // registering again. Setting it runs this handler once more, which brings the
    // disable-at-start box and its label along.
    if (!IsAutostartEnabledProc) return;
    const bool registered = IsAutostartEnabledProc();
    if (registered == checked) return;
    reflectingAutostart_ = true;
    try {
        chkAutostartUserCP.SetChecked(registered);
    } catch (...) {
        reflectingAutostart_ = false;
        throw;
    }
    reflectingAutostart_ = false;
}

void TfrmControlPanel::chkAutomaticDisableClick(toolkit::Object&) {
    // A box the policy decides leaves the user's own word as it is.
    if (!GetSettingsProc || !SetSettingsProc || DisableBoxFixed()) return;
    std::int32_t settings = GetSettingsProc();
    if (chkAutomaticDisable.Checked())
        settings |= 1;
    else
        settings &= ~std::int32_t{1};
    SetSettingsProc(settings);
}

// ---- Enable and Disable ----

void TfrmControlPanel::SetCommandLabels(bool enable, bool disable) {
    const bool allowed = policy_.SwitchingAllowed();
    lbEnable.SetEnabled(enable && allowed);
    lbDisable.SetEnabled(disable && allowed);
    const char* hint = allowed ? "" : status::kSwitchingTurnedOffText;
    lbEnable.SetHint(hint);
    lbDisable.SetHint(hint);
}

// The command reports its own failure (in the message window); the labels follow only the
// status that the refresh has just written.
void TfrmControlPanel::RunCommand(void (*command)(), LabelCaller caller) {
    if (!policy_.SwitchingAllowed()) return;
    command();
    // Exit taken while the command's message was up: the program is ending, and a refresh
    // now would raise a balloon and save the settings on the way out.
    if (App().Terminating()) return;
    RefreshStatusProc(true);
    const CommandLabels labels =
        DecideCommandLabels(caller, DriverResult, HypervisorState, ProblemFlags,
                            {lbEnable.Enabled(), lbDisable.Enabled()});
    SetCommandLabels(labels.enable, labels.disable);
}

void TfrmControlPanel::lbEnableClick(toolkit::Object&) {
    RunCommand(EnableHypervisorProc, LabelCaller::EnableClick);
}

void TfrmControlPanel::lbDisableClick(toolkit::Object&) {
    RunCommand(DisableHypervisorProc, LabelCaller::DisableClick);
}

// ---- status ----

void TfrmControlPanel::ShowStatus(const status::PanelStatus& status) {
    DriverResult = status.reading.driverResult;
    HypervisorState = status.reading.hypervisorState;
    ProblemFlags = status.reading.problemFlags;
    lbGeneralStatus.SetText(status.caption);
    ReadPolicy();
    lbGeneralDescription.SetText(
        policy_.SwitchingAllowed()
            ? status.description
            : status::AppendDescriptionLine(status.description, status::kSwitchingTurnedOffText));
    if (status.balloon)
        ShowBalloon(status::kBalloonTitle, status.balloon->text, status.balloon->iconKind);
}

// ---- tray ----

void TfrmControlPanel::ShowBalloon(const std::string& title, const std::string& text,
                                   int iconKind) {
    if (tray_) tray_->ShowBalloon(title, text, iconKind);
}

void TfrmControlPanel::BringApplicationToFront() {
    const HWND application = App().Handle();
    const HWND popup = GetLastActivePopup(application);
    if (popup && popup != application && IsWindowVisible(popup) && IsWindowEnabled(popup))
        SetForegroundWindow(popup);
}

void TfrmControlPanel::ShowPanel() {
    if (!Visible() && RefreshStatusProc) RefreshStatusProc(false);
    if (WindowShownOnce) {
        // A message of the program's keeps the panel disabled while it is up: showing the
        // panel then would raise it over the message (and under Wine make it the active
        // window), so only the message is brought to the front.
        if (IsWindowEnabled(Handle())) Show();
        BringApplicationToFront();
        return;
    }
    WindowShownOnce = true;
    // Returns when the modal loop ends: Exit, or a quit message taken inside it.
    ShowModal();
}

void TfrmControlPanel::OnShowStatus(toolkit::Object&) {
    imgStatusTabClick(*this);
    ShowPanel();
}

void TfrmControlPanel::OnShowSettings(toolkit::Object&) {
    imgSettingsTabClick(*this);
    ShowPanel();
}

void TfrmControlPanel::OnExit(toolkit::Object&) {
    if (WindowShownOnce) Close();
    // Every loop ends: a modal loop at once, start-up's loop after this dispatch or at
    // the quit message.
    App().SetTerminating();
    PostMessageA(App().Handle(), WM_QUIT, 0, 0);
}

void TfrmControlPanel::WMTrayIcon(toolkit::Message& message) {
    switch (static_cast<UINT>(message.lParam)) {
        case WM_LBUTTONDOWN: ShowPanel(); break;
        // Also the keyboard's Enter, Space, menu key and Shift+F10 on the icon: the shell
        // sends them as right presses for an icon of this record's version.
        case WM_RBUTTONDOWN:
            if (tray_) tray_->OpenMenu();
            break;
        default: break;
    }
}

// The menu's choice arrives as a message once the menu is gone and the null message is
// posted: a first, modal, show from the menu then runs outside the right-button handler.
void TfrmControlPanel::WMCommand(toolkit::Message& message) {
    if (tray_ && tray_->Menu().Command(message.wParam, message.lParam)) {
        message.result = 0;
        return;
    }
    Inherited(message);
}

// The end of the session, or the Restart Manager closing the program for an installer: the
// panel has nothing unsaved, so it always agrees.
void TfrmControlPanel::WMQueryEndSession(toolkit::Message& message) {
    message.result = TRUE;
}

void TfrmControlPanel::WMEndSession(toolkit::Message& message) {
    message.result = 0;
    if (message.wParam == FALSE) return;  // called off
    // The icon goes now: the system may end the process as soon as this returns. Then the
    // program ends as a quit request ends it, its panel's modal loop first, then the main loop.
    tray_.reset();
    PostMessageA(Handle(), WM_QUIT, 0, 0);
    PostMessageA(Handle(), WM_QUIT, 0, 0);
}

void TfrmControlPanel::WMTaskbarCreated(toolkit::Message&) {
    if (tray_) tray_->ReAdd();  // only while the icon is set up
}

void TfrmControlPanel::WMDisplayChange(toolkit::Message& message) {
    if (Visible()) KeepOnAMonitor();  // a hidden panel is placed at its next show
    Inherited(message);
}

void TfrmControlPanel::WMTimer(toolkit::Message& message) {
    if (message.wParam == kTrayRetryTimerId) {
        if (tray_) tray_->RetryAdd();
        message.result = 0;
        return;
    }
    Inherited(message);
}

}  // namespace ui
