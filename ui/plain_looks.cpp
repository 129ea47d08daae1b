#include "ui/plain_looks.h"

#include "ui/form_control_panel.h"
#include "ui/form_message_box.h"

namespace ui {

namespace {

toolkit::PlainLook Button() {
    toolkit::PlainLook look;
    look.fill = COLOR_BTNFACE;
    look.text = COLOR_BTNTEXT;
    look.outline = true;
    return look;
}

toolkit::PlainLook Words(const char* caption, UINT format) {
    toolkit::PlainLook look;
    look.caption = caption;
    look.captionFormat = format;
    return look;
}

}  // namespace

void SetPlainLooks(TfrmControlPanel& panel) {
    // The window's outline, and the logo's words where the logo stands.
    toolkit::PlainLook background = Words("Korvalen", DT_LEFT);
    background.outline = true;
    background.captionBox = std::array<int, 4>{16, 8, 128, 28};
    panel.imgBackground.SetPlainLook(background);
    panel.imgCaptionStatus.SetPlainLook(Words("status", DT_LEFT));
    panel.imgCaptionSettings.SetPlainLook(Words("settings", DT_LEFT));
    toolkit::PlainLook status = Words("Status", DT_CENTER);
    status.outline = true;
    status.selected = [&panel] { return panel.SettingsTabActive == 0; };
    panel.imgStatusTab.SetPlainLook(status);
    toolkit::PlainLook settings = Words("Settings", DT_CENTER);
    settings.outline = true;
    settings.selected = [&panel] { return panel.SettingsTabActive == 1; };
    panel.imgSettingsTab.SetPlainLook(settings);
    panel.imgEnableButton.SetPlainLook(Button());
    panel.imgDisableButton.SetPlainLook(Button());
    toolkit::PlainLook buttonText;
    buttonText.text = COLOR_BTNTEXT;
    panel.lbEnable.SetPlainLook(buttonText);
    panel.lbDisable.SetPlainLook(buttonText);
    panel.btnClose.SetPlainLook(Button());
}

void SetPlainLooks(TfrmMessageBox& message) {
    toolkit::PlainLook background;
    background.outline = true;
    message.imgBackground.SetPlainLook(background);
    message.lbOK.SetPlainLook(Button());
}

}  // namespace ui
