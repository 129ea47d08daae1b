// The program's entry: everything else is in app/startup.cpp.
#include "app/startup.h"

#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return app::RunControlPanel(GetCommandLineA());
}

#if defined(__GLIBCXX__) && defined(__MINGW32__)
// GCC's default handler for an escaped exception prints the exception's demangled type
// to a console this windowed program never has; replacing it keeps the demangler and the
// printf family it needs (some 65 kB) out of the executable. The end is the same: abort.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif
