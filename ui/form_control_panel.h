// The control panel window: a borderless, skinned window with two picture tabs (Status,
// Settings), the status texts, the Enable and Disable labels and the two setting check
// boxes; its icon in the notification area with a four-item menu and balloons.
//
// The window never calls the driver, the settings store or the Run key itself: start-up
// fills the callback slots, and everything of that kind goes through them.
// Its layout is the window description TFRMCONTROLPANEL (resources/forms/control_panel.form).
#pragma once

#include "settings/policy_values.h"
#include "status/status_decision.h"
#include "toolkit/check_box.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/image_list.h"
#include "toolkit/label.h"
#include "toolkit/popup_menu.h"
#include "ui/label_states.h"
#include "ui/q_extended_image.h"
#include "ui/tray_icon.h"
#include "win32/unique_win.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace ui {

class TfrmControlPanel : public toolkit::Form {
public:
    // Made with toolkit::MakeForm. Every call on the notification area goes through
    // shellNotify: Shell_NotifyIconA, or a test's recorder; the taskbar's announcement is
    // let through messageFilter (none where the system has no such filter).
    explicit TfrmControlPanel(toolkit::Application& app,
                              ShellNotifyFunction shellNotify = &Shell_NotifyIconA,
                              MessageFilterFunction messageFilter = SystemMessageFilter());

    static std::span<const toolkit::HandlerEntry<TfrmControlPanel>> Handlers();
    static std::span<const toolkit::ComponentKind> Kinds();

    // Components, from the window description.
    toolkit::Label& lbGeneralStatus = Find<toolkit::Label>("lbGeneralStatus");
    toolkit::Label& lbGeneralDescription = Find<toolkit::Label>("lbGeneralDescription");
    toolkit::Image& imgBackground = Find<toolkit::Image>("imgBackground");
    toolkit::Label& btnClose = Find<toolkit::Label>("btnClose");
    toolkit::ImageList& imglstButtons = Find<toolkit::ImageList>("imglstButtons");
    TExtendedImage& imgStatusTab = Find<TExtendedImage>("imgStatusTab");
    TExtendedImage& imgSettingsTab = Find<TExtendedImage>("imgSettingsTab");
    toolkit::CheckBox& chkAutomaticDisable = Find<toolkit::CheckBox>("chkAutomaticDisable");
    toolkit::Label& lbAutomaticDisable = Find<toolkit::Label>("lbAutomaticDisable");
    toolkit::CheckBox& chkAutostartUserCP = Find<toolkit::CheckBox>("chkAutostartUserCP");
    toolkit::Label& lbAutostartUserCP = Find<toolkit::Label>("lbAutostartUserCP");
    toolkit::Image& imgDisableButton = Find<toolkit::Image>("imgDisableButton");
    toolkit::Image& imgEnableButton = Find<toolkit::Image>("imgEnableButton");
    toolkit::Label& lbEnable = Find<toolkit::Label>("lbEnable");
    toolkit::Label& lbDisable = Find<toolkit::Label>("lbDisable");
    toolkit::Image& imgCaptionSettings = Find<toolkit::Image>("imgCaptionSettings");
    toolkit::Image& imgCaptionStatus = Find<toolkit::Image>("imgCaptionStatus");

    // The callback slots, plain function pointers, null at creation.
    std::int32_t (*GetSettingsProc)() = nullptr;
    void (*SetSettingsProc)(std::int32_t) = nullptr;
    bool (*IsAutostartEnabledProc)() = nullptr;
    void (*SetAutostartProc)(bool) = nullptr;
    void (*RefreshStatusProc)(bool resetBalloon) = nullptr;
    void (*EnableHypervisorProc)() = nullptr;
    void (*DisableHypervisorProc)() = nullptr;
    // The administrator's machine policy, read anew each time; null: no policy.
    settings::MachinePolicy (*GetPolicyProc)() = nullptr;

    // The last status reading, zero at creation, written by ShowStatus.
    std::uint8_t HypervisorState = 0;
    std::uint8_t ProblemFlags = 0;
    std::uint8_t DriverResult = 0;

    // The window has had its first, modal, show.
    bool WindowShownOnce = false;
    // LoadControlStates has run; until then the autostart box does not register anything.
    bool ControlsReady = false;
    // 0: the Status tab is selected, 1: the Settings tab.
    int SettingsTabActive = 0;

    // The check boxes and the Enable and Disable labels from the slots and status fields.
    void LoadControlStates();
    // What a status refresh decided: the panel alone writes it into its three status
    // fields, its two status labels and, when there is a balloon, its tray icon.
    void ShowStatus(const status::PanelStatus& status);
    void ShowBalloon(const std::string& title, const std::string& text, int iconKind);

    // The tray icon's menu and icon handle; null before creation and after destruction.
    [[nodiscard]] toolkit::PopupMenu* TrayMenu() const noexcept {
        return tray_ ? &tray_->Menu() : nullptr;
    }
    [[nodiscard]] HICON TrayIcon() const noexcept { return tray_ ? tray_->Icon() : nullptr; }
    // Whether the shell holds the tray icon.
    [[nodiscard]] bool TrayIconAdded() const noexcept { return tray_ && tray_->Added(); }

    // The window's own events.
    void FormCreate(toolkit::Object& sender);
    void FormDestroy(toolkit::Object& sender);
    void FormShow(toolkit::Object& sender);
    void FormMouseDown(toolkit::Object& sender, toolkit::MouseButton button, std::uint32_t shift,
                       int x, int y);
    // Components' events.
    void imgBackgroundMouseDown(toolkit::Object& sender, toolkit::MouseButton button,
                                std::uint32_t shift, int x, int y);
    void imgCaptionStatusMouseDown(toolkit::Object& sender, toolkit::MouseButton button,
                                   std::uint32_t shift, int x, int y);
    void imgCaptionSettingsMouseDown(toolkit::Object& sender, toolkit::MouseButton button,
                                     std::uint32_t shift, int x, int y);
    void btnCloseClick(toolkit::Object& sender);
    void imgStatusTabClick(toolkit::Object& sender);
    void imgSettingsTabClick(toolkit::Object& sender);
    void imgStatusTabMouseOver(toolkit::Object& sender);
    void imgStatusTabMouseOut(toolkit::Object& sender);
    void imgSettingsTabMouseOver(toolkit::Object& sender);
    void imgSettingsTabMouseOut(toolkit::Object& sender);
    void lbAutostartUserCPClick(toolkit::Object& sender);
    void lbAutomaticDisableClick(toolkit::Object& sender);
    void chkAutostartUserCPClick(toolkit::Object& sender);
    void chkAutomaticDisableClick(toolkit::Object& sender);
    void lbEnableClick(toolkit::Object& sender);
    void lbDisableClick(toolkit::Object& sender);
    // The tray menu's items.
    void OnShowStatus(toolkit::Object& sender);
    void OnShowSettings(toolkit::Object& sender);
    void OnExit(toolkit::Object& sender);

    // Messages handled by number.
    void WMTrayIcon(toolkit::Message& message);         // WM_USER + 1, the tray callback
    void WMCommand(toolkit::Message& message);          // WM_COMMAND, the tray menu's choice
    void WMSystemCommand(toolkit::Message& message);    // WM_SYSCOMMAND
    void WMTaskbarCreated(toolkit::Message& message);   // the registered "TaskbarCreated"
    void WMKeyDown(toolkit::Message& message);          // WM_KEYDOWN: Esc and the page keys
    void WMQueryEndSession(toolkit::Message& message);  // WM_QUERYENDSESSION: agreed
    void WMEndSession(toolkit::Message& message);       // WM_ENDSESSION: the icon goes, the end
    void WMTimer(toolkit::Message& message);            // WM_TIMER: the tray icon's retry
    void WMDisplayChange(toolkit::Message& message);    // WM_DISPLAYCHANGE: keep it on a monitor

    // The application-wide message hook: a system command anywhere hides the panel.
    bool OnMessage(MSG& message);

private:
    static void ShowControls(std::span<toolkit::Component* const> controls);
    static void HideControls(std::span<toolkit::Component* const> controls);
    void RedrawTab(toolkit::Image& tab, int image);
    // Runs an Enable or Disable command, refreshes and sets the two labels.
    void RunCommand(void (*command)(), LabelCaller caller);
    // Shows the window: modally the first time, plainly afterwards.
    void ShowPanel();
    void BringApplicationToFront();
    void SetCommandLabels(bool enable, bool disable);
    // The policy from its slot, kept for the handlers; none without the slot.
    void ReadPolicy();
    // The policy, not the user, decides the disable-at-start box.
    [[nodiscard]] bool DisableBoxFixed() const noexcept;
    // The keyboard's stops and what a screen reader sees, in reading order.
    void ExposeComponents();

    // The controls of each tab, in the order in which they are shown and hidden.
    const std::array<toolkit::Component*, 6> statusTab_{&lbGeneralStatus, &lbGeneralDescription,
                                                        &lbEnable,        &imgEnableButton,
                                                        &lbDisable,       &imgDisableButton};
    const std::array<toolkit::Component*, 4> settingsTab_{
        &chkAutostartUserCP, &lbAutostartUserCP, &chkAutomaticDisable, &lbAutomaticDisable};
    settings::MachinePolicy policy_;    // as last read: at a status shown, at the states loaded
    bool reflectingAutostart_ = false;  // the autostart box is being set to the Run key's state
    ShellNotifyFunction shellNotify_;
    std::unique_ptr<ui::TrayIcon> tray_;  // from creation to destruction
};

}  // namespace ui
