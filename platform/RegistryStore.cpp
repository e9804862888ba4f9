#include "RegistryStore.h"

#include <algorithm>

namespace platform::registry {

std::string lowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() &&
           lowerAscii(s.substr(0, prefix.size())) == lowerAscii(prefix);
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const std::size_t at = path.find('\\');
        const std::string_view part = path.substr(0, at);
        if (!part.empty()) parts.emplace_back(part);
        if (at == path.npos) break;
        path.remove_prefix(at + 1);
    }
    return parts;
}

std::vector<std::string> lowerAll(const std::vector<std::string>& parts) {
    std::vector<std::string> r;
    r.reserve(parts.size());
    for (const auto& p : parts) r.push_back(lowerAscii(p));
    return r;
}

std::string joinPath(const std::vector<std::string>& parts, std::size_t from) {
    std::string r;
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (i > from) r += '\\';
        r += parts[i];
    }
    return r;
}

std::vector<std::string> userKey(const std::string& path) {
    std::vector<std::string> parts = splitPath(path);
    parts.insert(parts.begin(), kRoot);
    return parts;
}

bool Key::set(const std::string& name, RegValue value) {
    const std::string id = lowerAscii(name);
    auto it = index.find(id);
    if (it == index.end()) {
        index.emplace(id, values.size());
        values.emplace_back(name, std::move(value));
        return true;
    }
    // The stored spelling of the name is kept, as Windows does.
    RegValue& old = values[it->second].second;
    if (old == value) return false;
    old = std::move(value);
    return true;
}

bool Key::erase(const std::string& name) {
    auto it = index.find(lowerAscii(name));
    if (it == index.end()) return false;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
    index.clear();
    for (std::size_t i = 0; i < values.size(); ++i) index.emplace(lowerAscii(values[i].first), i);
    return true;
}

namespace {

bool hasPrefix(const KeyId& id, const KeyId& prefix) {
    return id.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), id.begin());
}

}  // namespace

Key* Store::find(const KeyId& id) {
    auto it = keys.find(id);
    return it == keys.end() ? nullptr : &it->second;
}

bool Store::exists(const KeyId& id) const {
    if (id.size() == 1 && id[0] == lowerAscii(kRoot)) return true;
    auto it = keys.lower_bound(id);
    return it != keys.end() && hasPrefix(it->first, id);
}

Key& Store::obtain(const std::vector<std::string>& names) {
    const KeyId id = lowerAll(names);
    if (Key* key = find(id)) return *key;
    Key key;
    key.names = names;
    // Parents that exist keep their spelling, and so does the key's own name when keys below it
    // came first: every path through a key spells it one way, so the file reads back the same.
    for (std::size_t length = 1; length <= names.size(); ++length) {
        const KeyId prefix(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(length));
        auto it = keys.lower_bound(prefix);
        if (it == keys.end() || !hasPrefix(it->first, prefix)) break;
        for (std::size_t i = 0; i < length; ++i) key.names[i] = it->second.names[i];
    }
    return keys.emplace(id, std::move(key)).first->second;
}

}  // namespace platform::registry
