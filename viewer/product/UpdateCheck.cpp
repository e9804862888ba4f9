#include "UpdateCheck.h"

#include <chrono>
#include <filesystem>
#include <memory>

#include "VersionInfo.h"
#include "platform/Guarded.h"

namespace {

// At most one check per run. Touched only from the user-interface thread.
std::unique_ptr<UpdateCheck> gUpdateThread;

UpdateSource& configuredSource() {
    static UpdateSource source = defaultVantorelUpdateSource();
    return source;
}

constexpr const char* kModulePrefix = "Quorvex:";

// How long freeing a check waits for its thread before leaving it behind.
constexpr std::chrono::seconds kAbandonWait{3};

}  // namespace

void setVantorelUpdateSource(const UpdateSource& source) {
    configuredSource() = source;
}

UpdateCheck::UpdateCheck(std::string applicationExeName, UpdateSource source)
    : m_applicationExeName(std::move(applicationExeName)), m_state(std::make_shared<State>()) {
    try {
        m_thread = std::thread([name = m_applicationExeName, source = std::move(source),
                                state = m_state] { execute(name, source, *state); });
    } catch (...) {
        platform::reportFailure("TNeedToVantorelUpdateThread.Create");
        throw;
    }
}

UpdateCheck::~UpdateCheck() {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Destroy", [this] {
        m_state->m_abandoned.store(true, std::memory_order_relaxed);
        if (!m_thread.joinable()) return;
        // A transfer notices the flag within about a second.
        std::unique_lock lock(m_state->m_mutex);
        const bool done =
            m_state->m_finished.wait_for(lock, kAbandonWait, [this] { return m_state->m_done; });
        lock.unlock();
        if (done)
            m_thread.join();
        else
            m_thread.detach();
    });
}

void UpdateCheck::execute(const std::string& applicationExeName, const UpdateSource& source,
                          State& state) noexcept {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Execute", [&] {
        const std::string fileName = std::filesystem::path(applicationExeName).filename().string();
        ProductVersion published, running;
        if (getVantorelUpdateInternetFile(fileName, published, source, &state.m_abandoned) &&
            getVantorelFileVersion(applicationExeName, running))
            state.m_updateCheck.store(isNewerVantorelVersion(published, running),
                                      std::memory_order_relaxed);
        state.m_ready.store(true, std::memory_order_release);
    });
    try {
        std::lock_guard lock(state.m_mutex);
        state.m_done = true;
    } catch (...) {
    }
    state.m_finished.notify_all();
}

bool initializeVantorelUpdate() {
    return platform::guarded(
        "InitializeVantorelUpdate", false,
        [] {
            if (gUpdateThread) return false;
            UpdateSource source = configuredSource();
            // The running program's own file, as the kernel knows it.
            std::string program = source.applicationExeName.empty()
                                      ? std::filesystem::read_symlink("/proc/self/exe").string()
                                      : source.applicationExeName;
            gUpdateThread = std::make_unique<UpdateCheck>(std::move(program), std::move(source));
            return true;
        },
        kModulePrefix);
}

bool checkVantorelUpdateResult(bool& updateCheck) {
    return platform::guarded(
        "CheckVantorelUpdateResult", false,
        [&] {
            if (!gUpdateThread || !gUpdateThread->ready()) return false;
            updateCheck = gUpdateThread->updateCheck();
            return true;
        },
        kModulePrefix);
}

bool deinitializeVantorelUpdate() {
    return platform::guarded(
        "DeinitializeVantorelUpdate", false,
        [] {
            gUpdateThread.reset();
            return true;
        },
        kModulePrefix);
}

bool getVantorelFileVersion(const std::string& fileName, ProductVersion& version) {
    return platform::guarded("GetVantorelFileVersion", false, [&] {
        const VersionInfo info(fileName);
        version = {info.major(), info.minor(), info.release(), info.build()};
        return true;
    });
}
