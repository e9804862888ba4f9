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

class TSTLReader;
class TSTLFileValidator;
class TValidationSettingList;

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

class TSTLValidationThread {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the thread.
    TSTLValidationThread();
    // Stops the loop and joins; a validation run in progress is finished first.
    ~TSTLValidationThread();
    TSTLValidationThread(const TSTLValidationThread&) = delete;
    TSTLValidationThread& operator=(const TSTLValidationThread&) = delete;

    // Posting waits while an earlier command has not been taken. Past PostDeadline it gives up
    // and returns S_FALSE without posting, so a caller with a time-out is never held longer
    // (for instance when the thread has ended after a failure).
    HRESULT LoadFile(const std::string& FileName,
                     Clock::time_point PostDeadline = Clock::time_point::max());
    HRESULT UnloadFile(Clock::time_point PostDeadline = Clock::time_point::max());
    HRESULT Play(Clock::time_point PostDeadline = Clock::time_point::max());
    HRESULT Stop(Clock::time_point PostDeadline = Clock::time_point::max());

    HRESULT GetVGThreadStatus(std::int32_t* Status);
    HRESULT GetMediaDuration(std::int64_t* Duration);
    HRESULT GetMediaPosition(std::int64_t* Position);
    HRESULT GetProgress(double* Progress);

    // Set-up, before the load is posted.
    HRESULT SetQuorvexReport(IQuorvexReport* Report);
    HRESULT SetValidationSettingList(TValidationSettingList* List);

    // True while no command waits and none is being carried out, or when the thread has ended:
    // the settings list may then be changed without racing a finding.
    bool IsIdle() const;
    // Sleeps 1 ms at a time until IsIdle().
    void WaitUntilIdle() const;

    // The TReportFunction installed in the reader and the validator; Context is the worker.
    static HRESULT QVX_STDCALL ReportFunction(void* Context, std::int32_t Module,
                                              std::int32_t ReportType, const char* ReportMessage,
                                              std::int32_t ValidationID);

private:
    HRESULT PostCommand(std::int32_t Command, const std::string* FileName,
                        Clock::time_point PostDeadline);
    void Execute();
    bool WaitForStop();
    void DoLoad();
    void DoUnload();
    void DoPlay();
    void FreeFile();
    void SetMedia(std::int64_t Duration, double Progress);

    std::atomic<std::int32_t> Command{VG_COMMAND_NONE};
    std::atomic<std::int32_t> Status{0};
    // Set by the worker while it carries out a command; cleared after it has answered.
    std::atomic<bool> FBusy{false};
    std::atomic<bool> FRunning{true};

    // The stop "event": only destruction signals it.
    std::mutex FStopLock;
    std::condition_variable FStopEvent;
    bool FStopSignalled = false;

    mutable std::mutex FLock;  // guards the three values below
    std::int64_t FDuration = 0;
    std::int64_t FPosition = 0;
    double FProgress = 0.0;

    // Written by the posting side only while Command is 0; read by the worker after taking load.
    std::string FFileName;
    InterfaceRef<IQuorvexReport> FQuorvexReport;
    TValidationSettingList* FValidationSettingList = nullptr;  // not owned
    // Touched by the worker thread only.
    std::unique_ptr<TSTLReader> FSTLReader;
    std::unique_ptr<TSTLFileValidator> FSTLFileValidator;

    std::thread FThread;  // last: started once everything above exists
};
