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
struct UpdateSource {
    std::string url;                 // the published version file
    std::string applicationExeName;  // the program compared; empty: the running program
    long connectTimeoutSeconds = 15;
    long transferTimeoutSeconds = 60;
};

// The build's configuration (LUMTRACE_UPDATE_URL) and the running program.
UpdateSource defaultVantorelUpdateSource();
// Replaces the source InitializeVantorelUpdate uses (tests point it at a local server).
void setVantorelUpdateSource(const UpdateSource& source);

class UpdateCheck {
public:
    // Starts the check at once.
    UpdateCheck(std::string applicationExeName, UpdateSource source);
    // Makes a download still running give up and waits for the thread, but only briefly: a
    // thread stuck where it cannot be interrupted (a name lookup) is left to end on its own.
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    bool ready() const { return m_state->m_ready.load(std::memory_order_acquire); }
    bool updateCheck() const { return m_state->m_updateCheck.load(std::memory_order_relaxed); }

private:
    // Shared with the thread, so a thread left behind never touches a freed object.
    struct State {
        std::atomic<bool> m_ready{false};
        std::atomic<bool> m_updateCheck{false};
        std::atomic<bool> m_abandoned{false};
        std::mutex m_mutex;
        std::condition_variable m_finished;
        bool m_done = false;
    };
    static void execute(const std::string& applicationExeName, const UpdateSource& source,
                        State& state) noexcept;

    std::string m_applicationExeName;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

// Starts the check unless one exists; true when it started one.
bool initializeVantorelUpdate();
// False while there is no check or it has not finished; otherwise true with its answer.
bool checkVantorelUpdateResult(bool& updateCheck);
// Ends the check (a download still running gives up) and frees it; true on success.
bool deinitializeVantorelUpdate();

// Fetches the published version file and reads FileName's line from it. Abandoned, when given,
// makes a running transfer give up as soon as it turns true.
bool getVantorelUpdateInternetFile(const std::string& fileName, ProductVersion& version,
                                   const UpdateSource& source,
                                   const std::atomic<bool>* abandoned = nullptr);
// The four numbers of the file's version block.
bool getVantorelFileVersion(const std::string& fileName, ProductVersion& version);
// "_2012_05_03__14_07_09": local date and time, for the request's agent string.
std::string nowDateTimeToString();
