#pragma once
// Replacing a file's contents so that readers see either the old file or the complete new one,
// never half a file, and never replacing something that is not a plain file.

#include <chrono>
#include <string>
#include <string_view>

namespace platform {

enum class ReplaceStatus {
    Written,
    AlreadyExists,   // the path exists and replacing was not asked for
    NotRegularFile,  // the path (or what its link points to) is a folder, FIFO, device, socket
    CreateFailed,    // no temporary file could be made in the folder
    WriteFailed,     // the temporary file could not be written or flushed
    ReplaceFailed,   // the finished temporary file could not take the path's place
};

struct ReplaceResult {
    ReplaceStatus status = ReplaceStatus::Written;
    int error = 0;              // errno of the failing step
    std::string file;           // the file that was (or would have been) replaced
    std::string temporaryPath;  // the temporary file of a failed write, already removed
    explicit operator bool() const { return status == ReplaceStatus::Written; }
};

// The file a write to Path lands in: Path itself, or where its chain of symbolic links ends,
// so that a linked file stays linked.
std::string replacementTarget(const std::string& path);

// Writes Bytes to "<target>.XXXXXX" beside the target, flushes it and renames it into place.
// Without ReplaceExisting an existing Path, even a dangling link, is left alone. A new file gets
// NewFileMode less the umask; a replaced one keeps its permissions.
ReplaceResult replaceFile(const std::string& path, std::string_view bytes, bool replaceExisting,
                          unsigned newFileMode = 0666);

// Removes the temporaries an interrupted replaceFile of Path left behind: files named like
// its temporaries and last changed longer than MinimumAge ago.
void removeStaleTemporaries(const std::string& path, std::chrono::seconds minimumAge);

// write(2) until everything is written or a real error occurs.
bool writeAll(int fd, std::string_view bytes);

}  // namespace platform
