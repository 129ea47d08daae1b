#include "app/main_loop.h"

namespace app {

void RunMainLoop(const toolkit::Application& application) {
    MSG msg{};
    // GetMessageA gives -1 only for a bad window filter; stopping there beats spinning.
    while (!application.Terminating() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace app
