#include "Registry.h"
#include "Utf8.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <unordered_map>
#include <utility>

#include "Guarded.h"

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

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kOldHeader = "REGEDIT4";
constexpr const char* kRoot = "HKEY_CURRENT_USER";
// Far beyond any settings file; refusing bigger ones keeps a hostile file from exhausting memory.
constexpr std::size_t kMaxFileSize = 16u << 20;
constexpr const char* kNoFolder =
    "no configuration folder: neither XDG_CONFIG_HOME nor HOME is set.";

// ---- small text helpers -------------------------------------------------------------------------

// Windows folds case for all of Unicode; ASCII is what our own key and value names use.
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

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Line breaks and NUL cannot be kept in a line-based file.
bool storable(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == s.npos;
}

// Components of a key path; empty components (leading, trailing or doubled separators) vanish.
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

std::string joinPath(const std::vector<std::string>& parts, std::size_t from = 0) {
    std::string r;
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (i > from) r += '\\';
        r += parts[i];
    }
    return r;
}

// Full key components below the one root this store serves.
std::vector<std::string> userKey(const std::string& path) {
    std::vector<std::string> parts = splitPath(path);
    parts.insert(parts.begin(), kRoot);
    return parts;
}

// ---- the store model ----------------------------------------------------------------------------

struct Key {
    std::vector<std::string> names;  // as spelled in the file, root first
    std::vector<std::pair<std::string, RegValue>> values;
    std::unordered_map<std::string, std::size_t> index;  // lower-case name -> position

    // True when the value was added or changed.
    bool set(const std::string& name, RegValue value) {
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

    bool erase(const std::string& name) {
        auto it = index.find(lowerAscii(name));
        if (it == index.end()) return false;
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
        index.clear();
        for (std::size_t i = 0; i < values.size(); ++i)
            index.emplace(lowerAscii(values[i].first), i);
        return true;
    }
};

using KeyId = std::vector<std::string>;  // lower-case components

bool hasPrefix(const KeyId& id, const KeyId& prefix) {
    return id.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), id.begin());
}

struct Store {
    // Ordered by components, so the file lists every key right after its parent.
    std::map<KeyId, Key> keys;

    Key* find(const KeyId& id) {
        auto it = keys.find(id);
        return it == keys.end() ? nullptr : &it->second;
    }

    // A key exists when it was written or when a key below it was (as in a .reg export that
    // leaves the parents out).
    bool exists(const KeyId& id) const {
        if (id.size() == 1 && id[0] == lowerAscii(kRoot)) return true;
        auto it = keys.lower_bound(id);
        return it != keys.end() && hasPrefix(it->first, id);
    }

    Key& obtain(const std::vector<std::string>& names) {
        const KeyId id = lowerAll(names);
        if (Key* key = find(id)) return *key;
        Key key;
        key.names = names;
        // Parents that exist keep their spelling.
        for (std::size_t length = 1; length < names.size(); ++length) {
            const KeyId prefix(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(length));
            auto it = keys.lower_bound(prefix);
            if (it == keys.end() || !hasPrefix(it->first, prefix)) break;
            for (std::size_t i = 0; i < length; ++i) key.names[i] = it->second.names[i];
        }
        return keys.emplace(id, std::move(key)).first->second;
    }
};

// ---- parsing ------------------------------------------------------------------------------------

struct ParseError {
    std::size_t line;
    const char* what;
};

// Regedit writes UTF-16LE; our own files are UTF-8.
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
        platform::appendUtf8(out, cp);
    }
    return out;
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

// ---- writing ------------------------------------------------------------------------------------

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

// ---- the backing file ---------------------------------------------------------------------------

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno) + ".";
}

bool readAll(int fd, std::string& out, std::size_t limit) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > limit) return true;
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The store as the file holds it now; a missing file is an empty store. On failure `why` says
// what went wrong.
std::optional<Store> loadStore(const std::string& path, std::string& why) {
    if (path.empty()) {
        why = kNoFolder;
        return std::nullopt;
    }
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return Store{};
        why = systemError("cannot open", path);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = path + " is not a regular file.";
        return std::nullopt;
    }
    std::string text;
    if (!readAll(fd.get(), text, kMaxFileSize)) {
        why = systemError("cannot read", path);
        return std::nullopt;
    }
    if (text.size() > kMaxFileSize) {
        why = path + " is larger than 16 MiB.";
        return std::nullopt;
    }
    if (text.starts_with("\xFF\xFE"))
        text = utf16LeToUtf8(std::string_view(text).substr(2));
    else if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);

    Store store;
    if (auto error = Parser(text).run(store)) {
        why = "cannot parse " + path + " line " + std::to_string(error->line) + " (" + error->what +
              ").";
        return std::nullopt;
    }
    return store;
}

// The file that is replaced: the target of a symbolic link, so that a linked settings file
// stays linked.
std::string replacedFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::canonical(path, ec);
        if (!ec) return target.string();
    }
    return path;
}

bool replaceFile(const std::string& path, const std::string& text, std::string& why) {
    const std::string target = replacedFile(path);
    const std::string folder = std::filesystem::path(target).parent_path().string();
    std::string temporary = target + ".XXXXXX";
    Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        why = systemError("cannot create a temporary file in", folder);
        return false;
    }
    // Nothing but a complete, flushed file ever takes the old one's place.
    if (!writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) {
        why = systemError("cannot write", temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    fd.reset();
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        why = systemError("cannot replace", target);
        ::unlink(temporary.c_str());
        return false;
    }
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

// Locked read-modify-write of the whole store. `change` returns whether it changed anything;
// the store as written (or as read, when nothing changed) is left in `result`.
bool updateStore(const std::function<bool(Store&)>& change, Store& result) {
    const std::string path = registryFilePath();
    std::string why;
    if (path.empty()) {
        reportError("Registry", kNoFolder);
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        reportError("Registry", ("cannot create " + folder + ": " + ec.message() + ".").c_str());
        return false;
    }
    const std::string lockPath = path + ".lock";
    Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0) {
        reportError("Registry", systemError("cannot open", lockPath).c_str());
        return false;
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        reportError("Registry", systemError("cannot lock", lockPath).c_str());
        return false;
    }
    auto store = loadStore(path, why);
    if (!store || (change(*store) && !replaceFile(path, serialize(*store), why))) {
        reportError("Registry", why.c_str());
        return false;
    }
    result = std::move(*store);
    return true;  // the lock goes with the descriptor
}

std::optional<Store> readStore() {
    std::string why;
    auto store = loadStore(registryFilePath(), why);
    if (!store) reportError("Registry", why.c_str());
    return store;
}

}  // namespace

std::string registryFilePath() {
    std::string base;
    // Relative values are to be ignored, as the XDG rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        std::string homeDir = home && *home ? home : "";
        if (homeDir.empty()) {
            passwd entry{};
            passwd* found = nullptr;
            char buffer[4096];
            if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
                found->pw_dir)
                homeDir = found->pw_dir;
        }
        if (homeDir.empty()) return {};
        base = homeDir + "/.config";
    }
    return base + "/vantorel/registry.reg";
}

namespace {

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
