#pragma once
// Stand-in for LoadLibrary / GetProcAddress / FreeLibrary.

#include <string>

namespace platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

    // dlopen(RTLD_NOW | RTLD_LOCAL); unloads what was loaded before. False on failure.
    bool load(const std::string& path);
    // nullptr when not loaded or the symbol is missing.
    void* symbol(const char* name) const;
    void unload();
    bool isLoaded() const { return handle_ != nullptr; }
    // dlerror() text of the last failure, for diagnostics.
    const std::string& lastError() const { return lastError_; }

private:
    void* handle_ = nullptr;
    mutable std::string lastError_;
};

}  // namespace platform
