#include "InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace cli {

std::string unreadableReason(const std::string& path) {
    // Non-blocking, so a FIFO named on the command line cannot hang the batch.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    std::string reason;
    if (::fstat(fd, &info) != 0) {
        reason = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        reason = "is a folder";
    } else if (!S_ISREG(info.st_mode)) {
        reason = "not a regular file";
    }
    ::close(fd);
    return reason;
}

std::string fullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    // ".." stays: behind a symbolic link it does not simply cancel the part before it.
    std::filesystem::path full;
    for (const auto& part : absolute)
        if (part != ".") full /= part;
    return full.string();
}

}  // namespace cli
