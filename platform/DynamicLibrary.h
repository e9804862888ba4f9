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
    bool isLoaded() const { return m_handle != nullptr; }
    // dlerror() text of the last failure, for diagnostics.
    const std::string& lastError() const { return m_lastError; }

private:
    void* m_handle = nullptr;
    mutable std::string m_lastError;
};

}  // namespace platform
