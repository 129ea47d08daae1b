// How the two windows look with the system's colours (high contrast on): the pictures'
// boxes as buttons, tabs and outlines, their words as text.
#pragma once

namespace ui {

class TfrmControlPanel;
class TfrmMessageBox;

void SetPlainLooks(TfrmControlPanel& panel);
void SetPlainLooks(TfrmMessageBox& message);

}  // namespace ui
