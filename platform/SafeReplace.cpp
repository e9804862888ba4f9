#include "SafeReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <random>

namespace platform {
namespace {

constexpr std::size_t kSuffixLength = 6;  // as mkstemp's XXXXXX
constexpr char kSuffixChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string folderOf(const std::string& file) {
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

bool isTemporaryName(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + 1 + kSuffixLength || !name.starts_with(base) ||
        name[base.size()] != '.')
        return false;
    for (char c : name.substr(base.size() + 1))
        if (std::string_view(kSuffixChars).find(c) == std::string_view::npos) return false;
    return true;
}

// O_EXCL with a random suffix rather than mkstemp, so that the umask shapes a new file's mode.
int createTemporary(const std::string& target, unsigned mode, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    thread_local std::minstd_rand random(static_cast<unsigned>(std::random_device{}()) ^
                                         static_cast<unsigned>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + '.';
        const unsigned salt = counter++;
        for (std::size_t i = 0; i < kSuffixLength; ++i)
            temporary += kSuffixChars[(random() + salt) % (sizeof kSuffixChars - 1)];
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Renames without ever replacing an existing name.
bool publishWithoutReplacing(const std::string& temporary, const std::string& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: a hard link fails the same way on an existing name.
    if (::link(temporary.c_str(), path.c_str()) != 0) return false;
    ::unlink(temporary.c_str());
    return true;
}

ReplaceResult failed(ReplaceResult result, ReplaceStatus status) {
    result.status = status;
    result.error = errno;
    return result;
}

}  // namespace

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string replacementTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path current = path;
    // The kernel's own limit on links followed in one lookup.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1,
                         '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) break;
        link.resize(static_cast<std::size_t>(n));
        const fs::path next(link);
        current = next.is_absolute() ? next : (current.parent_path() / next).lexically_normal();
    }
    return current.string();
}

ReplaceResult replaceFile(const std::string& path, std::string_view bytes, bool replaceExisting,
                          unsigned newFileMode) {
    ReplaceResult result;
    struct stat info {};
    if (!replaceExisting) {
        if (::lstat(path.c_str(), &info) == 0) {
            result.file = path;
            return failed(std::move(result), ReplaceStatus::AlreadyExists);
        }
        result.file = path;
    } else {
        result.file = replacementTarget(path);
    }
    const bool exists = ::lstat(result.file.c_str(), &info) == 0;
    // Renaming over a FIFO, device or socket would silently turn it into a plain file.
    if (exists && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return failed(std::move(result), ReplaceStatus::NotRegularFile);
    }

    const int fd = createTemporary(result.file, newFileMode, result.temporaryPath);
    if (fd < 0) return failed(std::move(result), ReplaceStatus::CreateFailed);
    if (exists) ::fchmod(fd, info.st_mode & 07777);
    // Nothing but a complete, flushed file ever takes the old one's place.
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        if (!written) errno = writeError;
        const int error = errno;
        ::unlink(result.temporaryPath.c_str());
        errno = error;
        return failed(std::move(result), ReplaceStatus::WriteFailed);
    }
    const bool published = replaceExisting
                               ? ::rename(result.temporaryPath.c_str(), result.file.c_str()) == 0
                               : publishWithoutReplacing(result.temporaryPath, result.file);
    if (!published) {
        const int error = errno;
        ::unlink(result.temporaryPath.c_str());
        errno = error;
        return failed(std::move(result), error == EEXIST ? ReplaceStatus::AlreadyExists
                                                         : ReplaceStatus::ReplaceFailed);
    }
    const int dir = ::open(folderOf(result.file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    result.temporaryPath.clear();
    return result;
}

void removeStaleTemporaries(const std::string& path, std::chrono::seconds minimumAge) {
    const std::string target = replacementTarget(path);
    const std::string folder = folderOf(target);
    const std::string base = std::filesystem::path(target).filename().string();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name, base)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || now - info.st_mtime < minimumAge.count())
            continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace platform
