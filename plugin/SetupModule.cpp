#include "SetupModule.h"

#include <dlfcn.h>

#include <mutex>

#include "ModuleFolder.h"

SetupEntryFunction setupEntry(std::string& error) {
    static std::mutex loading;
    static SetupEntryFunction entry = nullptr;
    std::lock_guard lock(loading);
    if (entry) return entry;
    const std::string path = (moduleFolder() / SETUP_MODULE_NAME).string();
    // NODELETE: the module's Qt stays loaded when the plug-in itself is unloaded.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load " + path;
        return nullptr;
    }
    entry = reinterpret_cast<SetupEntryFunction>(dlsym(handle, SETUP_ENTRY_NAME));
    if (!entry) error = path + ": no " + SETUP_ENTRY_NAME;
    return entry;
}
