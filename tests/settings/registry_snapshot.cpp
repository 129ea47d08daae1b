#include "tests/settings/registry_snapshot.h"

#include "win32/unique_win.h"

#include <cstdio>
#include <stdexcept>

namespace settingstest {

namespace {

win32::UniqueKey Open(HKEY root, const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return win32::UniqueKey(key);
}

win32::UniqueKey Create(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + path);
    return win32::UniqueKey(key);
}

KeyTree ReadOpenKey(HKEY key) {
    DWORD subkeyCount = 0, maxSubkeyLength = 0, valueCount = 0, maxNameLength = 0, maxDataSize = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, &maxSubkeyLength, nullptr,
                         &valueCount, &maxNameLength, &maxDataSize, nullptr,
                         nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot query a key");
    KeyTree tree;
    // Narrow names may take two bytes per character.
    std::vector<char> name(2 * (std::max(maxSubkeyLength, maxNameLength) + 1));
    for (DWORD i = 0; i < valueCount; ++i) {
        std::vector<BYTE> data(2 * maxDataSize + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            continue;
        data.resize(size);
        tree.values[std::string(name.data(), nameLength)] = {type, std::move(data)};
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        const std::string subName(name.data(), nameLength);
        if (const auto sub = Open(key, subName, KEY_READ))
            tree.subkeys[subName] = ReadOpenKey(sub.get());
    }
    return tree;
}

std::string Describe(const StoredValue& value) {
    std::string text = std::to_string(value.type) + ":";
    char hex[3];
    for (const BYTE b : value.data) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        text += hex;
    }
    return text;
}

}  // namespace

std::optional<KeyTree> ReadTree(HKEY root, const std::string& path) {
    const auto key = Open(root, path, KEY_READ);
    if (!key) return std::nullopt;
    return ReadOpenKey(key.get());
}

void WriteTree(HKEY root, const std::string& path, const KeyTree& tree) {
    const auto key = Create(root, path);
    for (const auto& [name, value] : tree.values)
        RegSetValueExA(key.get(), name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const auto& [name, sub] : tree.subkeys) WriteTree(key.get(), name, sub);
}

FlatTree Flatten(const KeyTree& tree, const std::string& prefix) {
    FlatTree flat;
    flat[prefix + "\\"] = "";
    for (const auto& [name, value] : tree.values) flat[prefix + "\\\\" + name] = Describe(value);
    for (const auto& [name, sub] : tree.subkeys) flat.merge(Flatten(sub, prefix + "\\" + name));
    return flat;
}

std::vector<std::string> Differences(const FlatTree& before, const FlatTree& after) {
    std::vector<std::string> lines;
    for (const auto& [path, text] : before) {
        const auto it = after.find(path);
        if (it == after.end())
            lines.push_back("gone: " + path);
        else if (it->second != text)
            lines.push_back("changed: " + path + " " + text + " -> " + it->second);
    }
    for (const auto& [path, text] : after)
        if (!before.contains(path)) lines.push_back("added: " + path + " = " + text);
    return lines;
}

bool KeyExists(HKEY root, const std::string& path) {
    return static_cast<bool>(Open(root, path, KEY_READ));
}

void DeleteTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
}

void PutValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const void* data, DWORD size) {
    const auto key = Create(root, path);
    if (RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot set value " + name);
}

void PutText(HKEY root, const std::string& path, const std::string& name, const std::string& text,
             DWORD type) {
    PutValue(root, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<StoredValue> GetValue(HKEY root, const std::string& path, const std::string& name) {
    const auto key = Open(root, path, KEY_READ);
    if (!key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value{type, std::vector<BYTE>(size + 1)};
    DWORD got = size + 1;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, value.data.data(), &got) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(got);
    return value;
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    if (const auto key = Open(root, path, KEY_SET_VALUE)) RegDeleteValueA(key.get(), name.c_str());
}

StoredValue TextValue(const std::string& text) {
    StoredValue value{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

}  // namespace settingstest
