#include "Registry.h"

#include <utility>

#include "Guarded.h"
#include "RegistryStore.h"

namespace platform {

RegValue RegValue::fromDWord(std::uint32_t v) {
    RegValue r;
    r.type = RegType::DWord;
    r.dword = v;
    return r;
}

RegValue RegValue::fromBinary(std::vector<std::uint8_t> v) {
    RegValue r;
    r.type = RegType::Binary;
    r.binary = std::move(v);
    return r;
}

RegValue RegValue::fromString(std::string v) {
    RegValue r;
    r.type = RegType::String;
    r.string = std::move(v);
    return r;
}

using namespace registry;

namespace {

// Line breaks and NUL cannot be kept in a line-based file.
bool storable(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == s.npos;
}

void fillValues(std::map<std::string, std::pair<std::string, RegValue>>& values, Store& store,
                const KeyId& id) {
    values.clear();
    if (Key* key = store.find(id))
        for (const auto& [name, value] : key->values) values[lowerAscii(name)] = {name, value};
}

}  // namespace

std::optional<RegistryKey> RegistryKey::open(const std::string& path, bool create) {
    return guarded("RegistryKey.open", std::optional<RegistryKey>(),
                   [&]() -> std::optional<RegistryKey> {
                       const std::vector<std::string> names = userKey(path);
                       const KeyId id = lowerAll(names);
                       auto store = readStore();
                       if (!store) return std::nullopt;
                       if (!store->exists(id)) {
                           if (!create) return std::nullopt;
                           const bool ok = updateStore(
                               [&](Store& s) {
                                   if (s.exists(id)) return false;
                                   s.obtain(names);
                                   return true;
                               },
                               *store);
                           if (!ok) return std::nullopt;
                       }
                       RegistryKey key(joinPath(names, 1));
                       fillValues(key.m_values, *store, id);
                       return key;
                   });
}

bool RegistryKey::exists(const std::string& path) {
    return guarded("RegistryKey.exists", false, [&] {
        auto store = readStore();
        return store && store->exists(lowerAll(userKey(path)));
    });
}

std::optional<RegValue> RegistryKey::read(const std::string& name) const {
    return guarded("RegistryKey.read", std::optional<RegValue>(), [&]() -> std::optional<RegValue> {
        auto it = m_values.find(lowerAscii(name));
        if (it == m_values.end()) return std::nullopt;
        return it->second.second;
    });
}

bool RegistryKey::readDWord(const std::string& name, std::uint32_t& value) const {
    auto v = read(name);
    if (!v || v->type != RegType::DWord) return false;
    value = v->dword;
    return true;
}

bool RegistryKey::readBinary(const std::string& name, std::vector<std::uint8_t>& value) const {
    auto v = read(name);
    if (!v || v->type != RegType::Binary) return false;
    value = std::move(v->binary);
    return true;
}

bool RegistryKey::readString(const std::string& name, std::string& value) const {
    auto v = read(name);
    if (!v || v->type != RegType::String) return false;
    value = std::move(v->string);
    return true;
}

bool RegistryKey::valueExists(const std::string& name) const {
    return read(name).has_value();
}

bool RegistryKey::write(const std::string& name, const RegValue& value) {
    return writeMany({{name, value}});
}

bool RegistryKey::writeDWord(const std::string& name, std::uint32_t value) {
    return write(name, RegValue::fromDWord(value));
}

bool RegistryKey::writeBinary(const std::string& name, const std::vector<std::uint8_t>& value) {
    return write(name, RegValue::fromBinary(value));
}

bool RegistryKey::writeString(const std::string& name, const std::string& value) {
    return write(name, RegValue::fromString(value));
}

bool RegistryKey::writeMany(const std::vector<std::pair<std::string, RegValue>>& values) {
    return guarded("RegistryKey.writeMany", false, [&] {
        for (const auto& [name, value] : values) {
            if (!storable(name) || (value.type == RegType::String && !storable(value.string))) {
                reportError("Registry",
                            ("value \"" + name + "\" holds a line break or NUL.").c_str());
                return false;
            }
        }
        const std::vector<std::string> names = userKey(m_path);
        const KeyId id = lowerAll(names);
        Store store;
        const bool ok = updateStore(
            [&](Store& s) {
                // A key another process removed meanwhile comes back, like a fresh create.
                const bool created = !s.find(id);
                Key& key = s.obtain(names);
                bool changed = created;
                for (const auto& [name, value] : values) changed |= key.set(name, value);
                return changed;
            },
            store);
        if (ok) fillValues(m_values, store, id);
        return ok;
    });
}

bool RegistryKey::deleteValue(const std::string& name) {
    return guarded("RegistryKey.deleteValue", false, [&] {
        const KeyId id = lowerAll(userKey(m_path));
        bool found = false;
        Store store;
        const bool ok = updateStore(
            [&](Store& s) {
                Key* key = s.find(id);
                found = key && key->erase(name);
                return found;
            },
            store);
        if (ok) fillValues(m_values, store, id);
        return ok && found;
    });
}

bool RegistryKey::refresh() {
    return guarded("RegistryKey.refresh", false, [&] {
        const KeyId id = lowerAll(userKey(m_path));
        auto store = readStore();
        if (!store) return false;
        fillValues(m_values, *store, id);
        return store->exists(id);
    });
}

}  // namespace platform
