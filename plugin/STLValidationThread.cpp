#include "STLValidationThread.h"

#include "STLFileValidator.h"
#include "ValidationSettings.h"
#include "platform/Guarded.h"
#include "stl/STLReader.h"

using namespace std::chrono_literals;

TSTLValidationThread::TSTLValidationThread() : FThread([this] { Execute(); }) {}

TSTLValidationThread::~TSTLValidationThread() {
    platform::guardedVoid("TSTLValidationThread.Destroy", [&] {
        {
            std::lock_guard lock(FStopLock);
            FStopSignalled = true;
        }
        FStopEvent.notify_all();
        if (FThread.joinable()) FThread.join();
    });
    // The reader, the validator and the sink go with the members.
}

HRESULT TSTLValidationThread::PostCommand(std::int32_t NewCommand, const std::string* FileName,
                                          Clock::time_point PostDeadline) {
    // One command at a time: wait until the worker has taken the previous one.
    while (Command.load(std::memory_order_acquire) != VG_COMMAND_NONE) {
        if (Clock::now() > PostDeadline) return S_FALSE;
        std::this_thread::sleep_for(1ms);
    }
    if (FileName) FFileName = *FileName;
    // Status first: the worker's answer can only follow the command it answers.
    Status.store(NewCommand, std::memory_order_release);
    Command.store(NewCommand, std::memory_order_release);
    FStopEvent.notify_one();  // wakes the loop early; it polls every 1 ms anyway
    return S_OK;
}

HRESULT TSTLValidationThread::LoadFile(const std::string& FileName,
                                       Clock::time_point PostDeadline) {
    return platform::guarded("TSTLValidationThread.LoadFile", E_FAIL,
                             [&] { return PostCommand(VG_COMMAND_LOAD, &FileName, PostDeadline); });
}

HRESULT TSTLValidationThread::UnloadFile(Clock::time_point PostDeadline) {
    return platform::guarded("TSTLValidationThread.UnloadFile", E_FAIL,
                             [&] { return PostCommand(VG_COMMAND_UNLOAD, nullptr, PostDeadline); });
}

HRESULT TSTLValidationThread::Play(Clock::time_point PostDeadline) {
    return platform::guarded("TSTLValidationThread.Play", E_FAIL,
                             [&] { return PostCommand(VG_COMMAND_PLAY, nullptr, PostDeadline); });
}

HRESULT TSTLValidationThread::Stop(Clock::time_point PostDeadline) {
    return platform::guarded("TSTLValidationThread.Stop", E_FAIL,
                             [&] { return PostCommand(VG_COMMAND_STOP, nullptr, PostDeadline); });
}

HRESULT TSTLValidationThread::GetVGThreadStatus(std::int32_t* Value) {
    return platform::guarded("TSTLValidationThread.GetVGThreadStatus", E_FAIL, [&] {
        if (!Value) throw std::invalid_argument("null");
        *Value = Status.load(std::memory_order_acquire);
        return S_OK;
    });
}

namespace {

template <class T>
HRESULT ReadLocked(const char* Where, std::mutex& Lock, const T& Field, T* Out) {
    return platform::guarded(Where, E_FAIL, [&] {
        if (!Out) throw std::invalid_argument("null");
        std::lock_guard lock(Lock);
        *Out = Field;
        return S_OK;
    });
}

}  // namespace

HRESULT TSTLValidationThread::GetMediaDuration(std::int64_t* Duration) {
    return ReadLocked("TSTLValidationThread.GetMediaDuration", FLock, FDuration, Duration);
}

HRESULT TSTLValidationThread::GetMediaPosition(std::int64_t* Position) {
    return ReadLocked("TSTLValidationThread.GetMediaPosition", FLock, FPosition, Position);
}

HRESULT TSTLValidationThread::GetProgress(double* Progress) {
    return ReadLocked("TSTLValidationThread.GetProgress", FLock, FProgress, Progress);
}

HRESULT TSTLValidationThread::SetQuorvexReport(IQuorvexReport* Report) {
    return platform::guarded("TSTLValidationThread.SetQuorvexReport", E_FAIL, [&] {
        if (!Report) {
            platform::reportError("TSTLValidationThread.SetQuorvexReport", "invalid argument.");
            return E_INVALIDARG;
        }
        FQuorvexReport = InterfaceRef<IQuorvexReport>(Report);
        return S_OK;
    });
}

HRESULT TSTLValidationThread::SetValidationSettingList(TValidationSettingList* List) {
    return platform::guarded("TSTLValidationThread.SetValidationSettingList", E_FAIL, [&] {
        if (!List) return E_INVALIDARG;
        FValidationSettingList = List;
        return S_OK;
    });
}

bool TSTLValidationThread::IsIdle() const {
    if (!FRunning.load(std::memory_order_acquire)) return true;
    // Busy is raised before Command is cleared, so "no command and not busy" cannot miss a run.
    return Command.load(std::memory_order_acquire) == VG_COMMAND_NONE &&
           !FBusy.load(std::memory_order_acquire);
}

void TSTLValidationThread::WaitUntilIdle() const {
    while (!IsIdle()) std::this_thread::sleep_for(1ms);
}

HRESULT QVX_STDCALL TSTLValidationThread::ReportFunction(void* Context, std::int32_t Module,
                                                         std::int32_t ReportType,
                                                         const char* ReportMessage,
                                                         std::int32_t ValidationID) {
    return platform::guarded("TSTLValidationThread.ReportFunction", E_FAIL, [&] {
        auto* self = static_cast<TSTLValidationThread*>(Context);
        if (!self || !self->FValidationSettingList) return E_FAIL;
        const std::string text = ReportMessage ? ReportMessage : "";
        return self->FValidationSettingList->Report(Module, ReportType, text, ValidationID);
    });
}

bool TSTLValidationThread::WaitForStop() {
    std::unique_lock lock(FStopLock);
    return FStopEvent.wait_for(lock, 1ms, [&] {
        return FStopSignalled || Command.load(std::memory_order_relaxed) != VG_COMMAND_NONE;
    }) && FStopSignalled;
}

void TSTLValidationThread::Execute() {
    // COM needs no per-thread initialisation on this platform.
    platform::guardedVoid("TSTLValidationThread.Execute", [&] {
        while (!WaitForStop()) {
            const std::int32_t command = Command.load(std::memory_order_acquire);
            if (command == VG_COMMAND_NONE) continue;
            FBusy.store(true, std::memory_order_release);
            switch (command) {
                case VG_COMMAND_LOAD:
                    DoLoad();
                    break;
                case VG_COMMAND_UNLOAD:
                    DoUnload();
                    break;
                case VG_COMMAND_PLAY:
                    DoPlay();
                    break;
                case VG_COMMAND_STOP:
                    Status.store(VG_STATUS_STOPPED, std::memory_order_release);
                    Command.store(VG_COMMAND_NONE, std::memory_order_release);
                    break;
                default:
                    break;  // not a command: ignored, stays posted as the poster left it
            }
            FBusy.store(false, std::memory_order_release);
        }
    });
    FBusy.store(false, std::memory_order_release);
    FRunning.store(false, std::memory_order_release);
}

void TSTLValidationThread::FreeFile() {
    FSTLFileValidator.reset();
    FSTLReader.reset();
}

void TSTLValidationThread::SetMedia(std::int64_t Duration, double Progress) {
    std::lock_guard lock(FLock);
    FDuration = Duration;
    FPosition = 0;
    FProgress = Progress;
}

void TSTLValidationThread::DoLoad() {
    FreeFile();
    const TReportFunction report{this, &TSTLValidationThread::ReportFunction};
    bool loaded = false;
    if (IsSTLFile(FFileName, true, TSTLVariant::Plugin)) {
        FSTLReader = std::make_unique<TSTLReader>(TSTLVariant::Plugin);
        FSTLReader->SetReportFunction(report);
        if (SUCCEEDED(FSTLReader->OpenFile(FFileName, true))) {
            FSTLFileValidator = std::make_unique<TSTLFileValidator>();
            FSTLFileValidator->SetReportFunction(report);
            loaded = true;
        }
    }
    SetMedia(FSTLReader ? FSTLReader->GetDuration() : 0, 0.0);
    Status.store(loaded ? VG_STATUS_LOADED : VG_STATUS_LOAD_FAILED, std::memory_order_release);
    Command.store(VG_COMMAND_NONE, std::memory_order_release);
}

void TSTLValidationThread::DoUnload() {
    FreeFile();
    SetMedia(0, 0.0);
    Status.store(VG_STATUS_UNLOADED, std::memory_order_release);
    Command.store(VG_COMMAND_NONE, std::memory_order_release);
}

void TSTLValidationThread::DoPlay() {
    Status.store(VG_STATUS_PLAYING, std::memory_order_release);
    Command.store(VG_COMMAND_NONE, std::memory_order_release);
    if (FSTLFileValidator)
        FSTLFileValidator->ValidateSTL(FSTLReader.get());
    else
        platform::reportFailure("TSTLFileValidator.ValidateSTL");
    std::lock_guard lock(FLock);
    FProgress = 100.0;
}
