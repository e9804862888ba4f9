#include "ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

#include "platform/InstallLayout.h"

namespace cli {

std::string executableDirectory() {
    // The kernel's link names the file that was started, wherever it was called from.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return self.parent_path().string();
}

std::string modulePath(const std::string& fileName) {
    const std::string beside = executableDirectory() + "/" + fileName;
    const std::string installed =
        executableDirectory() + "/" + platform::installedModuleFolder + "/" + fileName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(beside, error) &&
        std::filesystem::is_regular_file(installed, error))
        return installed;
    return beside;
}

}  // namespace cli
