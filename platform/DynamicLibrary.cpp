#include "DynamicLibrary.h"

#include <dlfcn.h>

#include <utility>

#include "Guarded.h"

// The Windows error mode (no "missing DLL" boxes) and COM initialisation around loading have
// no counterpart on this platform and are left out.

namespace platform {
namespace {

std::string takeDlError(const char* fallback) {
    const char* error = dlerror();
    return error ? std::string(error) : std::string(fallback);
}

}  // namespace

DynamicLibrary::~DynamicLibrary() {
    unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_lastError(std::move(other.m_lastError)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

bool DynamicLibrary::load(const std::string& path) {
    return guarded("DynamicLibrary.load", false, [&] {
        unload();
        // dlopen would hand out the main program for an empty name.
        if (path.empty()) {
            m_lastError = "no library path";
            return false;
        }
        dlerror();
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle) {
            m_lastError = takeDlError("cannot load library");
            return false;
        }
        m_lastError.clear();
        return true;
    });
}

void* DynamicLibrary::symbol(const char* name) const {
    return guarded("DynamicLibrary.symbol", static_cast<void*>(nullptr), [&]() -> void* {
        if (!m_handle) {
            m_lastError = "no library loaded";
            return nullptr;
        }
        if (!name) {
            m_lastError = "no symbol name";
            return nullptr;
        }
        dlerror();
        void* address = dlsym(m_handle, name);
        if (!address) m_lastError = takeDlError("symbol not found");
        return address;
    });
}

void DynamicLibrary::unload() {
    guardedVoid("DynamicLibrary.unload", [&] {
        if (!m_handle) return;
        void* handle = std::exchange(m_handle, nullptr);
        if (dlclose(handle) != 0) m_lastError = takeDlError("cannot unload library");
    });
}

}  // namespace platform
