#pragma once
// Stand-in for the current user's registry (HKEY_CURRENT_USER), kept in one .reg-format text file
// at $XDG_CONFIG_HOME/vantorel/registry.reg (default ~/.config/vantorel/registry.reg).
//
// Key paths use backslashes below HKEY_CURRENT_USER ("Software\\Vantorel\\Lumtrace"). Key and
// value names are case-insensitive and case-preserving. Every write re-reads the file under an
// advisory lock, applies the change and renames a temporary file over the old one. A file that
// cannot be parsed is never overwritten: opening any key fails and a diagnostic says why.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegType { DWord, Binary, String };

struct RegValue {
    RegType type = RegType::DWord;
    std::uint32_t dword = 0;
    std::vector<std::uint8_t> binary;
    std::string string;  // UTF-8

    static RegValue fromDWord(std::uint32_t v);
    static RegValue fromBinary(std::vector<std::uint8_t> v);
    static RegValue fromString(std::string v);
    bool operator==(const RegValue&) const = default;
};

// Path of the backing file for the current environment.
std::string registryFilePath();

class RegistryKey {
public:
    // Opens a key below HKEY_CURRENT_USER; with create, missing keys (and the folder of the
    // backing file) are created. nullopt when the key does not exist (and create is false) or
    // the store cannot be read or written.
    static std::optional<RegistryKey> open(const std::string& path, bool create);
    static bool exists(const std::string& path);

    const std::string& path() const { return m_path; }

    // nullopt when the value is missing.
    std::optional<RegValue> read(const std::string& name) const;
    // True only for a value of that type.
    bool readDWord(const std::string& name, std::uint32_t& value) const;
    bool readBinary(const std::string& name, std::vector<std::uint8_t>& value) const;
    bool readString(const std::string& name, std::string& value) const;
    bool valueExists(const std::string& name) const;

    bool write(const std::string& name, const RegValue& value);
    bool writeDWord(const std::string& name, std::uint32_t value);
    bool writeBinary(const std::string& name, const std::vector<std::uint8_t>& value);
    bool writeString(const std::string& name, const std::string& value);
    // Several values in one locked read-modify-write (one rename for all of them).
    bool writeMany(const std::vector<std::pair<std::string, RegValue>>& values);
    bool deleteValue(const std::string& name);

    // Re-reads the backing file; reads otherwise use what was read at open or at the last write.
    bool refresh();

private:
    explicit RegistryKey(std::string path) : m_path(std::move(path)) {}
    std::string m_path;
    // Values of this key as last read, keyed by lower-case name.
    std::map<std::string, std::pair<std::string, RegValue>> m_values;
};

}  // namespace platform
