#pragma once
// The background check for a newer published version of the running program. One check per
// run: the main window starts it, polls it from its timer and releases it. The thread writes
// its answer before its ready flag and neither again, so polling needs no lock.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "PublishedVersion.h"

// Where a check looks. Url empty: nothing is requested and the check ends with "no update".
struct TVantorelUpdateSource {
    std::string Url;                 // the published version file
    std::string ApplicationEXEName;  // the program compared; empty: the running program
    long ConnectTimeoutSeconds = 15;
    long TransferTimeoutSeconds = 60;
};

// The build's configuration (LUMTRACE_UPDATE_URL) and the running program.
TVantorelUpdateSource DefaultVantorelUpdateSource();
// Replaces the source InitializeVantorelUpdate uses (tests point it at a local server).
void SetVantorelUpdateSource(const TVantorelUpdateSource& Source);

class TNeedToVantorelUpdateThread {
public:
    // Starts the check at once.
    TNeedToVantorelUpdateThread(std::string ApplicationEXEName, TVantorelUpdateSource Source);
    // Makes a download still running give up and waits for the thread, but only briefly: a
    // thread stuck where it cannot be interrupted (a name lookup) is left to end on its own.
    ~TNeedToVantorelUpdateThread();
    TNeedToVantorelUpdateThread(const TNeedToVantorelUpdateThread&) = delete;
    TNeedToVantorelUpdateThread& operator=(const TNeedToVantorelUpdateThread&) = delete;

    bool Ready() const { return FState->FReady.load(std::memory_order_acquire); }
    bool NeedToVantorelUpdate() const {
        return FState->FNeedToVantorelUpdate.load(std::memory_order_relaxed);
    }

private:
    // Shared with the thread, so a thread left behind never touches a freed object.
    struct TState {
        std::atomic<bool> FReady{false};
        std::atomic<bool> FNeedToVantorelUpdate{false};
        std::atomic<bool> FAbandoned{false};
        std::mutex FMutex;
        std::condition_variable FFinished;
        bool FDone = false;
    };
    static void Execute(const std::string& ApplicationEXEName, const TVantorelUpdateSource& Source,
                        TState& State) noexcept;

    std::string FApplicationEXEName;
    std::shared_ptr<TState> FState;
    std::thread FThread;
};

// Starts the check unless one exists; true when it started one.
bool InitializeVantorelUpdate();
// False while there is no check or it has not finished; otherwise true with its answer.
bool CheckVantorelUpdateResult(bool& NeedToVantorelUpdate);
// Ends the check (a download still running gives up) and frees it; true on success.
bool DeinitializeVantorelUpdate();

// Fetches the published version file and reads FileName's line from it. Abandoned, when given,
// makes a running transfer give up as soon as it turns true.
bool GetVantorelUpdateInternetFile(const std::string& FileName, TVantorelVersion& Version,
                                   const TVantorelUpdateSource& Source,
                                   const std::atomic<bool>* Abandoned = nullptr);
// The four numbers of the file's version block.
bool GetVantorelFileVersion(const std::string& FileName, TVantorelVersion& Version);
// "_2012_05_03__14_07_09": local date and time, for the request's agent string.
std::string NowDateTimeToString();
