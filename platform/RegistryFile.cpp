#include "RegistryStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "Guarded.h"
#include "SafeReplace.h"

namespace platform {

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

namespace registry {

namespace {

// Far beyond any settings file; refusing bigger ones keeps a hostile file from exhausting memory.
constexpr std::size_t kMaxFileSize = 16u << 20;
constexpr const char* kNoFolder =
    "no configuration folder: neither XDG_CONFIG_HOME nor HOME is set.";

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

// The store as the file holds it now; a missing file is an empty store. On failure `why` says
// what went wrong.
std::optional<Store> loadStore(const std::string& path, std::string& why) {
    if (path.empty()) {
        why = kNoFolder;
        return std::nullopt;
    }
    // Without O_NONBLOCK a FIFO in the settings file's place would block the open forever.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
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
    if (auto error = parse(text, store)) {
        why = "cannot parse " + path + " line " + std::to_string(error->line) + " (" + error->what +
              ").";
        return std::nullopt;
    }
    return store;
}

bool replaceStoreFile(const std::string& path, const std::string& text, std::string& why) {
    // A write killed half-way leaves its temporary file; the next write clears those away.
    removeStaleTemporaries(path, std::chrono::minutes(1));
    const ReplaceResult result = replaceFile(path, text, /*replaceExisting*/ true, 0600);
    errno = result.error;
    switch (result.status) {
        case ReplaceStatus::Written:
            return true;
        case ReplaceStatus::NotRegularFile:
            why = result.file + " is not a regular file.";
            break;
        case ReplaceStatus::CreateFailed:
            why = systemError("cannot create a temporary file in",
                              std::filesystem::path(result.file).parent_path().string());
            break;
        case ReplaceStatus::WriteFailed:
            why = systemError("cannot write", result.temporaryPath);
            break;
        default:
            why = systemError("cannot replace", result.file);
    }
    return false;
}

}  // namespace

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
    if (!store || (change(*store) && !replaceStoreFile(path, serialize(*store), why))) {
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

}  // namespace registry
}  // namespace platform
