// The shipped delivery profiles sit beside the plug-in. The profile reader looks for them in the
// folder of the module it is linked into; linked into a program, that is where the program finds
// the plug-in: beside it in a build tree, in the installed module folder otherwise.

#include <filesystem>
#include <system_error>

#include "platform/InstallLayout.h"
#include "plugin/ModuleFolder.h"

std::filesystem::path moduleFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path beside = self.parent_path();
    const std::filesystem::path installed = beside / platform::installedModuleFolder;
    if (!std::filesystem::is_directory(beside / "profiles", error) &&
        std::filesystem::is_directory(installed / "profiles", error))
        return installed;
    return beside;
}
