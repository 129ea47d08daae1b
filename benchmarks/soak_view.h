// What the soak sees of the control panel: its windows read as another process's screen
// reader reads them, and the difference between that and what the walk's model expects.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "benchmarks/soak_model.h"

namespace soak {

inline constexpr char kMessageClass[] = "TfrmMessageBox";
inline constexpr long kRoleStaticText = 0x29, kRolePushButton = 0x2B, kRolePageTab = 0x25;
inline constexpr long kStateUnavailable = 0x1, kStateSelected = 0x2;

struct Child {
    long role = 0;
    long state = 0;
    std::string name;
};

// The children of a window's client object as another process's screen reader gets them.
std::vector<Child> ReadChildren(HWND hwnd, HRESULT* result = nullptr);

const Child* Find(const std::vector<Child>& children, long role, const char* name);

// What is wrong with the panel against the model; empty when nothing is.
std::string Mismatch(HWND panel, const PanelModel& m);

}  // namespace soak
