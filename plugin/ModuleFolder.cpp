#include "ModuleFolder.h"

#include <dlfcn.h>

std::filesystem::path moduleFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&moduleFolder), &info) || !info.dli_fname) return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}
