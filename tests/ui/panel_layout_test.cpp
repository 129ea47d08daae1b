// The panel as its description builds it: window, components, fonts, handler names.
#include "tests/ui/panel_fixture.h"
#include "toolkit/description.h"

using namespace paneltest;
using Layout = PanelTest;

TEST_F(Layout, EveryHandlerNameOfTheDescriptionResolves) {
    const auto description = toolkit::ParseDescription(
        toolkit::LoadDescriptionText(GetModuleHandleA(nullptr), "TFRMCONTROLPANEL"));
    const auto missing = toolkit::UnresolvedHandlers(
        description, [](std::string_view name, toolkit::HandlerKind kind) {
            return toolkit::TableResolves(ui::TfrmControlPanel::Handlers(), name, kind);
        });
    EXPECT_TRUE(missing.empty()) << missing.front();
}
