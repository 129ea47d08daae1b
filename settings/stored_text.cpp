#include "settings/stored_text.h"

#include "settings/registry_api.h"

#include <algorithm>
#include <vector>

namespace settings {

namespace {

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

StoredText ReadStoredText(HKEY key, const char* name) {
    RegistryApi& registry = Registry();
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (registry.QueryValue(key, name, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (size == 0) return {StoredText::Kind::Text, {}};
    if (!IsText(type)) return {StoredText::Kind::WrongType, {}};

    // The value may grow between asking for its size and reading it: then ask again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        // One byte more than the data, so a text stored without its NUL still ends.
        std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = size;
        const LSTATUS status =
            registry.QueryValue(key, name, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS) return {StoredText::Kind::ReadFailed, {}};
        if (got == 0) return {StoredText::Kind::Text, {}};
        if (!IsText(type)) return {StoredText::Kind::WrongType, {}};
        const char* begin = data.data();
        const char* end = begin + (got < size ? got : size);
        return {StoredText::Kind::Text, std::string(begin, std::find(begin, end, '\0'))};
    }
    return {StoredText::Kind::ReadFailed, {}};
}

}  // namespace settings
