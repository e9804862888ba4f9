#include "RegistryStore.h"
#include "Utf8.h"

#include <cstdint>

namespace platform::registry {

std::string utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted name or string at the start of s with \\ and \" escapes; s is left after the
// closing quote. nullopt when the quote is never closed.
std::optional<std::string> takeQuoted(std::string_view& s) {
    std::string r;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return r;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        r += s[i];
    }
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::string_view text) {
        while (!text.empty()) {
            const std::size_t at = text.find('\n');
            m_lines.push_back(text.substr(0, at));
            if (at == text.npos) break;
            text.remove_prefix(at + 1);
        }
    }

    std::optional<ParseError> run(Store& store) {
        bool headerSeen = false;
        Key* current = nullptr;
        for (m_line = 0; m_line < m_lines.size(); ++m_line) {
            const std::string_view t = trim(m_lines[m_line]);
            if (t.empty() || t.front() == ';') continue;
            if (!headerSeen) {
                if (t != kHeader && t != kOldHeader) return fail("not a registry file");
                headerSeen = true;
                continue;
            }
            if (t.front() == '[') {
                if (t.back() != ']') return fail("unterminated key name");
                const std::string_view inner = t.substr(1, t.size() - 2);
                if (!inner.empty() && inner.front() == '-') return fail("key deletion");
                const std::vector<std::string> names = splitPath(inner);
                if (names.empty() || !startsWithNoCase(names[0], "HKEY_"))
                    return fail("key outside a root key");
                current = &store.obtain(names);
                continue;
            }
            if (t.front() != '"' && t.front() != '@') return fail("unexpected text");
            if (!current) return fail("value outside a key");
            if (auto error = value(t, *current)) return error;
        }
        return std::nullopt;
    }

private:
    ParseError fail(const char* what) const { return {m_line + 1, what}; }

    std::optional<ParseError> value(std::string_view t, Key& key) {
        std::string name;
        if (t.front() == '@') {
            t.remove_prefix(1);  // the key's default value
        } else {
            auto quoted = takeQuoted(t);
            if (!quoted) return fail("unterminated value name");
            name = std::move(*quoted);
        }
        t = trim(t);
        if (t.empty() || t.front() != '=') return fail("missing '='");
        t = trim(t.substr(1));

        if (!t.empty() && t.front() == '"') {
            auto text = takeQuoted(t);
            if (!text) return fail("unterminated string");
            if (!trim(t).empty()) return fail("text after a string");
            key.set(name, RegValue::fromString(std::move(*text)));
            return std::nullopt;
        }
        if (startsWithNoCase(t, "dword:")) {
            const std::string_view digits = t.substr(6);
            if (digits.empty() || digits.size() > 8) return fail("bad dword");
            std::uint32_t v = 0;
            for (char c : digits) {
                const int d = hexDigit(c);
                if (d < 0) return fail("bad dword");
                v = (v << 4) | static_cast<std::uint32_t>(d);
            }
            key.set(name, RegValue::fromDWord(v));
            return std::nullopt;
        }
        if (startsWithNoCase(t, "hex:")) return hex(t.substr(4), name, key);
        return fail("unsupported value type");
    }

    // Comma-separated bytes; a trailing backslash continues the list on the next line.
    std::optional<ParseError> hex(std::string_view t, const std::string& name, Key& key) {
        std::vector<std::uint8_t> bytes;
        for (;;) {
            const bool continued = !t.empty() && t.back() == '\\';
            if (continued) t.remove_suffix(1);
            while (!t.empty()) {
                const std::size_t comma = t.find(',');
                const std::string_view token = trim(t.substr(0, comma));
                if (token.empty()) {
                    // Only a trailing comma may leave a gap.
                    if (comma != t.npos) return fail("bad hex byte");
                } else {
                    if (token.size() > 2) return fail("bad hex byte");
                    int v = 0;
                    for (char c : token) {
                        const int d = hexDigit(c);
                        if (d < 0) return fail("bad hex byte");
                        v = v * 16 + d;
                    }
                    bytes.push_back(static_cast<std::uint8_t>(v));
                }
                if (comma == t.npos) break;
                t.remove_prefix(comma + 1);
            }
            if (!continued) break;
            if (++m_line >= m_lines.size()) return ParseError{m_line, "hex list cut off"};
            t = trim(m_lines[m_line]);
        }
        key.set(name, RegValue::fromBinary(std::move(bytes)));
        return std::nullopt;
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_line = 0;
};

}  // namespace

std::optional<ParseError> parse(std::string_view text, Store& store) {
    return Parser(text).run(store);
}

}  // namespace platform::registry
