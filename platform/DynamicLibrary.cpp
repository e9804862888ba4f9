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
    : handle_(std::exchange(other.handle_, nullptr)), lastError_(std::move(other.lastError_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        lastError_ = std::move(other.lastError_);
    }
    return *this;
}

bool DynamicLibrary::load(const std::string& path) {
    return guarded("DynamicLibrary.load", false, [&] {
        unload();
        // dlopen would hand out the main program for an empty name.
        if (path.empty()) {
            lastError_ = "no library path";
            return false;
        }
        dlerror();
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            lastError_ = takeDlError("cannot load library");
            return false;
        }
        lastError_.clear();
        return true;
    });
}

void* DynamicLibrary::symbol(const char* name) const {
    return guarded("DynamicLibrary.symbol", static_cast<void*>(nullptr), [&]() -> void* {
        if (!handle_) {
            lastError_ = "no library loaded";
            return nullptr;
        }
        if (!name) {
            lastError_ = "no symbol name";
            return nullptr;
        }
        dlerror();
        void* address = dlsym(handle_, name);
        if (!address) lastError_ = takeDlError("symbol not found");
        return address;
    });
}

void DynamicLibrary::unload() {
    guardedVoid("DynamicLibrary.unload", [&] {
        if (!handle_) return;
        void* handle = std::exchange(handle_, nullptr);
        if (dlclose(handle) != 0) lastError_ = takeDlError("cannot unload library");
    });
}

}  // namespace platform
