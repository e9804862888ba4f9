#include "NewVerCheck.h"

#include <chrono>
#include <filesystem>
#include <memory>

#include "VersionInfo.h"
#include "platform/Guarded.h"

namespace {

// At most one check per run. Touched only from the user-interface thread.
std::unique_ptr<TNeedToVantorelUpdateThread> gUpdateThread;

TVantorelUpdateSource& configuredSource() {
    static TVantorelUpdateSource source = DefaultVantorelUpdateSource();
    return source;
}

constexpr const char* kModulePrefix = "Quorvex:";

// How long freeing a check waits for its thread before leaving it behind.
constexpr std::chrono::seconds kAbandonWait{3};

}  // namespace

void SetVantorelUpdateSource(const TVantorelUpdateSource& Source) {
    configuredSource() = Source;
}

TNeedToVantorelUpdateThread::TNeedToVantorelUpdateThread(std::string ApplicationEXEName,
                                                         TVantorelUpdateSource Source)
    : FApplicationEXEName(std::move(ApplicationEXEName)), FState(std::make_shared<TState>()) {
    try {
        FThread = std::thread([name = FApplicationEXEName, source = std::move(Source),
                               state = FState] { Execute(name, source, *state); });
    } catch (...) {
        platform::reportFailure("TNeedToVantorelUpdateThread.Create");
        throw;
    }
}

TNeedToVantorelUpdateThread::~TNeedToVantorelUpdateThread() {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Destroy", [this] {
        FState->FAbandoned.store(true, std::memory_order_relaxed);
        if (!FThread.joinable()) return;
        // A transfer notices the flag within about a second.
        std::unique_lock lock(FState->FMutex);
        const bool done =
            FState->FFinished.wait_for(lock, kAbandonWait, [this] { return FState->FDone; });
        lock.unlock();
        if (done)
            FThread.join();
        else
            FThread.detach();
    });
}

void TNeedToVantorelUpdateThread::Execute(const std::string& ApplicationEXEName,
                                          const TVantorelUpdateSource& Source,
                                          TState& State) noexcept {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Execute", [&] {
        const std::string fileName = std::filesystem::path(ApplicationEXEName).filename().string();
        TVantorelVersion published, running;
        if (GetVantorelUpdateInternetFile(fileName, published, Source, &State.FAbandoned) &&
            GetVantorelFileVersion(ApplicationEXEName, running))
            State.FNeedToVantorelUpdate.store(IsNewerVantorelVersion(published, running),
                                              std::memory_order_relaxed);
        State.FReady.store(true, std::memory_order_release);
    });
    try {
        std::lock_guard lock(State.FMutex);
        State.FDone = true;
    } catch (...) {
    }
    State.FFinished.notify_all();
}

bool InitializeVantorelUpdate() {
    return platform::guarded(
        "InitializeVantorelUpdate", false,
        [] {
            if (gUpdateThread) return false;
            TVantorelUpdateSource source = configuredSource();
            // The running program's own file, as the kernel knows it.
            std::string program = source.ApplicationEXEName.empty()
                                      ? std::filesystem::read_symlink("/proc/self/exe").string()
                                      : source.ApplicationEXEName;
            gUpdateThread = std::make_unique<TNeedToVantorelUpdateThread>(std::move(program),
                                                                          std::move(source));
            return true;
        },
        kModulePrefix);
}

bool CheckVantorelUpdateResult(bool& NeedToVantorelUpdate) {
    return platform::guarded(
        "CheckVantorelUpdateResult", false,
        [&] {
            if (!gUpdateThread || !gUpdateThread->Ready()) return false;
            NeedToVantorelUpdate = gUpdateThread->NeedToVantorelUpdate();
            return true;
        },
        kModulePrefix);
}

bool DeinitializeVantorelUpdate() {
    return platform::guarded(
        "DeinitializeVantorelUpdate", false,
        [] {
            gUpdateThread.reset();
            return true;
        },
        kModulePrefix);
}

bool GetVantorelFileVersion(const std::string& FileName, TVantorelVersion& Version) {
    return platform::guarded("GetVantorelFileVersion", false, [&] {
        const TVersionInfo info(FileName);
        Version = {info.Major(), info.Minor(), info.Release(), info.Build()};
        return true;
    });
}
