// Copies of registry trees for Wine tests: to put a tree back as it was found, and to
// compare a tree before and after a sequence of calls.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace settingstest {

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const StoredValue&) const = default;
};

struct KeyTree {
    std::map<std::string, StoredValue> values;
    std::map<std::string, KeyTree> subkeys;
    bool operator==(const KeyTree&) const = default;
};

// The tree below root\path, or nothing when the key does not exist.
[[nodiscard]] std::optional<KeyTree> ReadTree(HKEY root, const std::string& path);

// Creates root\path and writes the tree into it (on top of what is there).
void WriteTree(HKEY root, const std::string& path, const KeyTree& tree);

// One line per key ("path\") and per value ("path\\name = type:hex"), sorted, for
// comparing two trees and printing what differs.
using FlatTree = std::map<std::string, std::string>;
[[nodiscard]] FlatTree Flatten(const KeyTree& tree, const std::string& prefix);

// The lines that are in one tree and not the other, or differ.
[[nodiscard]] std::vector<std::string> Differences(const FlatTree& before, const FlatTree& after);

// Raw access for arranging and checking stored data.
[[nodiscard]] bool KeyExists(HKEY root, const std::string& path);
void DeleteTree(HKEY root, const std::string& path);
void PutValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const void* data, DWORD size);
void PutText(HKEY root, const std::string& path, const std::string& name, const std::string& text,
             DWORD type = REG_SZ);
[[nodiscard]] std::optional<StoredValue> GetValue(HKEY root, const std::string& path,
                                                  const std::string& name);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);

// What REG_SZ data holds for text stored with its NUL counted.
[[nodiscard]] StoredValue TextValue(const std::string& text);

}  // namespace settingstest
