#include "ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

namespace cli {

std::string executableDirectory() {
    // The kernel's link names the file that was started, wherever it was called from.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return self.parent_path().string();
}

}  // namespace cli
