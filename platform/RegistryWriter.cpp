#include "RegistryStore.h"

#include <cstdio>

namespace platform::registry {

namespace {

std::string quote(std::string_view s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') r += '\\';
        r += c;
    }
    return r + '"';
}

void appendHex(std::string& out, std::size_t prefixLength, const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    // Wrapped like regedit's export, so long values stay readable.
    std::size_t column = prefixLength;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
}

}  // namespace

std::string serialize(const Store& store) {
    std::string out = kHeader;
    out += "\n";
    for (const auto& [id, key] : store.keys) {
        out += "\n[" + joinPath(key.names) + "]\n";
        for (const auto& [name, value] : key.values) {
            std::string line = name.empty() ? "@=" : quote(name) + "=";
            switch (value.type) {
                case RegType::DWord: {
                    char buffer[16];
                    std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
                    line += buffer;
                    break;
                }
                case RegType::Binary:
                    line += "hex:";
                    appendHex(line, line.size(), value.binary);
                    break;
                case RegType::String:
                    line += quote(value.string);
                    break;
            }
            out += line + "\n";
        }
    }
    return out;
}

}  // namespace platform::registry
