// Reading a registry value that should hold text, the same way for the settings store
// and the Run value.
#pragma once

#include <windows.h>

#include <string>

namespace settings {

struct StoredText {
    enum class Kind {
        Missing,     // no such value (or it could not be asked for)
        Text,        // text, possibly empty; a value of size 0 of any type is empty text
        WrongType,   // neither REG_SZ nor REG_EXPAND_SZ
        ReadFailed,  // its data could not be read
    };
    Kind kind = Kind::Missing;
    std::string text;  // up to the first NUL; REG_EXPAND_SZ is left unexpanded
};

// Looks at the size before the type, so an empty value of any type is empty text.
// A value of any size is read whole, also one stored without its terminating NUL.
[[nodiscard]] StoredText ReadStoredText(HKEY key, const char* name);

}  // namespace settings
