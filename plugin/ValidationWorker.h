#pragma once
// The plug-in's worker: one thread per loaded file that owns the reader and the file validator
// and carries out the commands the plug-in object posts. The two sides talk through Command and
// Status; duration, position and progress sit behind a mutex.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "InterfaceRef.h"
#include "plugin_api/QuorvexControlInterface.h"

class StlReader;
class FileValidator;
class RuleSettings;
class DeliverySettings;

// Command values.
constexpr std::int32_t VG_COMMAND_NONE = 0;
constexpr std::int32_t VG_COMMAND_LOAD = 1;
constexpr std::int32_t VG_COMMAND_UNLOAD = 2;
constexpr std::int32_t VG_COMMAND_PLAY = 3;
constexpr std::int32_t VG_COMMAND_STOP = 4;

// Status answers of the worker; 1-4 mean "posted, not yet taken".
constexpr std::int32_t VG_STATUS_LOADED = 101;
constexpr std::int32_t VG_STATUS_UNLOADED = 102;
constexpr std::int32_t VG_STATUS_PLAYING = 103;
constexpr std::int32_t VG_STATUS_STOPPED = 104;
constexpr std::int32_t VG_STATUS_LOAD_FAILED = 201;
constexpr std::int32_t VG_STATUS_UNLOAD_FAILED = 202;
constexpr std::int32_t VG_STATUS_PLAY_FAILED = 203;
constexpr std::int32_t VG_STATUS_STOP_FAILED = 204;

class ValidationWorker {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the thread.
    ValidationWorker();
    // Stops the loop and joins; a validation run in progress is finished first.
    ~ValidationWorker();
    ValidationWorker(const ValidationWorker&) = delete;
    ValidationWorker& operator=(const ValidationWorker&) = delete;

    // Posting waits while an earlier command has not been taken. Past PostDeadline it gives up
    // and returns S_FALSE without posting, so a caller with a time-out is never held longer
    // (for instance when the thread has ended after a failure).
    HRESULT loadFile(const std::string& fileName,
                     Clock::time_point postDeadline = Clock::time_point::max());
    HRESULT unloadFile(Clock::time_point postDeadline = Clock::time_point::max());
    HRESULT play(Clock::time_point postDeadline = Clock::time_point::max());
    HRESULT stop(Clock::time_point postDeadline = Clock::time_point::max());

    // Sleeps until Status is Done or Failure (true) or Deadline has passed (false); wakes as
    // soon as the worker answers.
    bool waitForAnswer(std::int32_t done, std::int32_t failure, Clock::time_point deadline);

    HRESULT getVgThreadStatus(std::int32_t* status);
    HRESULT getMediaDuration(std::int64_t* duration);
    HRESULT getMediaPosition(std::int64_t* position);
    HRESULT getProgress(double* progress);

    // Set-up, before the load is posted.
    HRESULT setQuorvexReport(IQuorvexReport* report);
    HRESULT setValidationSettingList(RuleSettings* list);
    void setDeliverySettings(const DeliverySettings* settings) { m_deliverySettings = settings; }

    // True while no command waits and none is being carried out, or when the thread has ended:
    // the settings list may then be changed without racing a finding.
    bool isIdle() const;
    // Sleeps 1 ms at a time until IsIdle().
    void waitUntilIdle() const;

    // The ReportFunction installed in the reader and the validator; Context is the worker.
    static HRESULT QVX_STDCALL reportFunction(void* context, std::int32_t module,
                                              std::int32_t reportType, const char* reportMessage,
                                              std::int32_t validationId);

private:
    HRESULT postCommand(std::int32_t command, const std::string* fileName,
                        Clock::time_point postDeadline);
    void execute();
    bool waitForStop();
    // Status, then Command cleared, and every waiter woken.
    void answer(std::int32_t status);
    void doLoad();
    void doUnload();
    void doPlay();
    void freeFile();
    void setMedia(std::int64_t duration, double progress);

    std::atomic<std::int32_t> m_command{VG_COMMAND_NONE};
    std::atomic<std::int32_t> m_status{0};
    // Set by the worker while it carries out a command; cleared after it has answered.
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_running{true};

    // Command and Status change under this lock, so a waiter cannot miss a change. The stop
    // "event" wakes the loop for a command or, set only by destruction, to end it; Answered
    // wakes the posting side when Command is cleared.
    std::mutex m_signalLock;
    std::condition_variable m_stopEvent;
    std::condition_variable m_answered;
    bool m_stopSignalled = false;

    mutable std::mutex m_lock;  // guards the three values below
    std::int64_t m_duration = 0;
    std::int64_t m_position = 0;
    double m_progress = 0.0;

    // Written by the posting side only while Command is 0; read by the worker after taking load.
    std::string m_fileName;
    InterfaceRef<IQuorvexReport> m_quorvexReport;
    RuleSettings* m_ruleSettings = nullptr;                // not owned
    const DeliverySettings* m_deliverySettings = nullptr;  // not owned
    // Touched by the worker thread only.
    std::unique_ptr<StlReader> m_stlReader;
    std::unique_ptr<FileValidator> m_fileValidator;

    std::thread m_thread;  // last: started once everything above exists
};
