// The program's entry: everything else is in app/startup.cpp.
#include "app/startup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return app::RunControlPanel(GetCommandLineA());
}
