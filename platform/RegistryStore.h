#pragma once
// The registry store as the text file holds it, and the pieces its parser, writer and file
// handling share. Internal to platform: users go through Registry.h.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Registry.h"

namespace platform::registry {

inline constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
inline constexpr const char* kOldHeader = "REGEDIT4";
inline constexpr const char* kRoot = "HKEY_CURRENT_USER";

// Windows folds case for all of Unicode; ASCII is what our own key and value names use.
std::string lowerAscii(std::string_view s);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
std::string_view trim(std::string_view s);

// Components of a key path; empty components (leading, trailing or doubled separators) vanish.
std::vector<std::string> splitPath(std::string_view path);
std::vector<std::string> lowerAll(const std::vector<std::string>& parts);
std::string joinPath(const std::vector<std::string>& parts, std::size_t from = 0);
// Full key components below the one root this store serves.
std::vector<std::string> userKey(const std::string& path);

struct Key {
    std::vector<std::string> names;  // as spelled in the file, root first
    std::vector<std::pair<std::string, RegValue>> values;
    std::unordered_map<std::string, std::size_t> index;  // lower-case name -> position

    // True when the value was added or changed.
    bool set(const std::string& name, RegValue value);
    bool erase(const std::string& name);
};

using KeyId = std::vector<std::string>;  // lower-case components

struct Store {
    // Ordered by components, so the file lists every key right after its parent.
    std::map<KeyId, Key> keys;

    Key* find(const KeyId& id);
    // A key exists when it was written or when a key below it was (as in a .reg export that
    // leaves the parents out).
    bool exists(const KeyId& id) const;
    Key& obtain(const std::vector<std::string>& names);
};

struct ParseError {
    std::size_t line;
    const char* what;
};

// RegistryParser.cpp: the text of a .reg file (UTF-8, without byte order mark) into store.
std::optional<ParseError> parse(std::string_view text, Store& store);
// Regedit writes UTF-16LE; our own files are UTF-8.
std::string utf16LeToUtf8(std::string_view bytes);

// RegistryWriter.cpp: the whole store as the text of a .reg file.
std::string serialize(const Store& store);

// RegistryFile.cpp: the backing file. The store as the file holds it now (a missing file is an
// empty store); failures are reported and give nullopt.
std::optional<Store> readStore();
// Locked read-modify-write of the whole store. `change` returns whether it changed anything;
// the store as written (or as read, when nothing changed) is left in `result`.
bool updateStore(const std::function<bool(Store&)>& change, Store& result);

}  // namespace platform::registry
