// A program that switches autostart as the panel would: "on" or "off". Its exit code is 1
// when autostart is registered afterwards, 0 when not, 2 for a wrong argument. The tests
// copy it to paths the test executable itself does not have (blanks, beyond 260 chars).
#include "settings/autostart.h"

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (std::strcmp(argv[1], "on") == 0)
        settings::SetAutostart(true);
    else if (std::strcmp(argv[1], "off") == 0)
        settings::SetAutostart(false);
    else
        return 2;
    return settings::IsAutostartEnabled() ? 1 : 0;
}
