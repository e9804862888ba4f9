#include "NewVerCheck.h"

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

}  // namespace

void SetVantorelUpdateSource(const TVantorelUpdateSource& Source) {
    configuredSource() = Source;
}

TNeedToVantorelUpdateThread::TNeedToVantorelUpdateThread(std::string ApplicationEXEName,
                                                         TVantorelUpdateSource Source)
    : FApplicationEXEName(std::move(ApplicationEXEName)), FSource(std::move(Source)) {
    try {
        FThread = std::thread([this] { Execute(); });
    } catch (...) {
        platform::reportFailure("TNeedToVantorelUpdateThread.Create");
        throw;
    }
}

TNeedToVantorelUpdateThread::~TNeedToVantorelUpdateThread() {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Destroy", [this] {
        FAbandoned.store(true, std::memory_order_relaxed);
        if (FThread.joinable()) FThread.join();
    });
}

void TNeedToVantorelUpdateThread::Execute() noexcept {
    platform::guardedVoid("TNeedToVantorelUpdateThread.Execute", [this] {
        const std::string fileName = std::filesystem::path(FApplicationEXEName).filename().string();
        TVantorelVersion published, running;
        if (GetVantorelUpdateInternetFile(fileName, published, FSource, &FAbandoned) &&
            GetVantorelFileVersion(FApplicationEXEName, running))
            FNeedToVantorelUpdate.store(IsNewerVantorelVersion(published, running),
                                        std::memory_order_relaxed);
        FReady.store(true, std::memory_order_release);
    });
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
