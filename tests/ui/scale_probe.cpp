// ui_scale_probe DPI: makes the control panel and the message window as the program does,
// at the scale the system gives it, and checks them there: both at DPI, laid out as their
// descriptions say at that scale, every text of every label inside its box, and every
// picture filling its scaled box with the stored picture for that scale. Prints
// each problem; the exit code is their number (0: none). Run by the system-scale test
// with LogPixels set before it starts.
#include "tests/ui/scale_checks.h"
#include "toolkit/application.h"
#include "ui/form_control_panel.h"
#include "ui/form_message_box.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

// The panel's icon stays out of the test desktop's notification area.
BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAA) {
    return TRUE;
}

std::vector<std::string> Problems(int dpi) {
    toolkit::Application app("Korvalen control panel");
    auto panel = toolkit::MakeForm<ui::TfrmControlPanel>(app, &NoShell);
    auto box = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    // The check boxes' windows, which a show would make, at the system's scale too.
    panel->CreateChildWindows();
    std::vector<std::string> problems = scalecheck::LayoutProblems(*panel, dpi);
    for (const auto& p : scalecheck::LayoutProblems(*box, dpi)) problems.push_back(p);
    auto check = [&](const toolkit::Form& form, const toolkit::Label& label,
                     const std::string& text) {
        std::string problem = scalecheck::FitProblem(form, label, text);
        if (!problem.empty()) problems.push_back(std::move(problem));
    };
    for (const auto& [caption, description] : scalecheck::StatusTexts()) {
        check(*panel, panel->lbGeneralStatus, caption);
        check(*panel, panel->lbGeneralDescription, description);
    }
    for (const toolkit::Label* label : {&panel->btnClose, &panel->lbEnable, &panel->lbDisable,
                                        &panel->lbAutomaticDisable, &panel->lbAutostartUserCP})
        check(*panel, *label, label->Text());
    for (const auto& text : scalecheck::MessageTexts()) check(*box, box->lbMessage, text);
    check(*box, box->lbOK, box->lbOK.Text());
    // The pictures, decoded at the scale the windows were made at, on both pages.
    auto add = [&](std::vector<std::string> more) {
        for (auto& p : more) problems.push_back(std::move(p));
    };
    add(scalecheck::PictureProblems(*panel, scalecheck::PanelTabs(*panel)));
    panel->imgSettingsTabClick(*panel);
    add(scalecheck::PictureProblems(*panel, scalecheck::PanelTabs(*panel)));
    add(scalecheck::PictureProblems(*box));
    return problems;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_scale_probe DPI\n");
        return 100;
    }
    try {
        const auto problems = Problems(std::atoi(argv[1]));
        for (const auto& p : problems) std::printf("%s\n", p.c_str());
        return static_cast<int>(std::min<size_t>(problems.size(), 99));
    } catch (const std::exception& e) {
        std::printf("%s\n", e.what());
        return 99;
    }
}
