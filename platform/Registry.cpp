#include "Registry.h"

#include "Guarded.h"

// First cut: value types only; the file-backed store follows.
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

std::string registryFilePath() {
    return {};
}

std::optional<RegistryKey> RegistryKey::open(const std::string&, bool) {
    reportError("RegistryKey.open", "store not available yet.");
    return std::nullopt;
}

bool RegistryKey::exists(const std::string&) {
    return false;
}
std::optional<RegValue> RegistryKey::read(const std::string&) const {
    return std::nullopt;
}
bool RegistryKey::readDWord(const std::string&, std::uint32_t&) const {
    return false;
}
bool RegistryKey::readBinary(const std::string&, std::vector<std::uint8_t>&) const {
    return false;
}
bool RegistryKey::readString(const std::string&, std::string&) const {
    return false;
}
bool RegistryKey::valueExists(const std::string&) const {
    return false;
}
bool RegistryKey::write(const std::string&, const RegValue&) {
    return false;
}
bool RegistryKey::writeDWord(const std::string&, std::uint32_t) {
    return false;
}
bool RegistryKey::writeBinary(const std::string&, const std::vector<std::uint8_t>&) {
    return false;
}
bool RegistryKey::writeString(const std::string&, const std::string&) {
    return false;
}
bool RegistryKey::writeMany(const std::vector<std::pair<std::string, RegValue>>&) {
    return false;
}
bool RegistryKey::deleteValue(const std::string&) {
    return false;
}
bool RegistryKey::refresh() {
    return false;
}

}  // namespace platform
