// The program's plain message loop.
#pragma once

#include "toolkit/application.h"

namespace app {

// Takes, translates and dispatches messages until a quit message arrives, or until a
// dispatched message leaves the application terminating: a quit message that a modal loop
// inside that dispatch took (Exit chosen while the message window was up) ends this loop
// too. No hook, no filter, no idle work here.
void RunMainLoop(const toolkit::Application& application);

}  // namespace app
