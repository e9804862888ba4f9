#include "SievraClass.h"

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "LongTimeFormat.h"
#include "STLValidationThread.h"
#include "SetupForm.h"
#include "ValidationSettings.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "stl/STLReader.h"

using namespace std::chrono_literals;
using Clock = TSTLValidationThread::Clock;

namespace {

// Rule numbers of the object's own findings.
constexpr std::int32_t RULE_START = 101;
constexpr std::int32_t RULE_LOADING = 102;
constexpr std::int32_t RULE_UNLOADING = 103;

constexpr std::int32_t TSievra::*TIMEOUT_FIELDS[] = {&TSievra::LoadTimeout, &TSievra::UnloadTimeout,
                                                     &TSievra::PlayTimeout, &TSievra::StopTimeout};
constexpr const char* TIMEOUT_VALUES[] = {LOAD_FILE_TIMEOUT_VALUE, UNLOAD_FILE_TIMEOUT_VALUE,
                                          PLAY_TIMEOUT_VALUE, STOP_TIMEOUT_VALUE};

}  // namespace

// How one command is waited for, and what its time-out path sends.
struct TCommandWait {
    std::int32_t Command;
    const char* Where;
    std::int32_t TSievra::*Timeout;
    std::int32_t Done;
    std::int32_t Failure;
    std::int32_t TimeoutRule;
    const char* TimeoutText;
};

namespace {

constexpr TCommandWait COMMAND_WAITS[] = {
    {VG_COMMAND_LOAD, "TSievra.LoadFile", &TSievra::LoadTimeout, VG_STATUS_LOADED,
     VG_STATUS_LOAD_FAILED, 104, "Loading timeout."},
    {VG_COMMAND_UNLOAD, "TSievra.UnloadFile", &TSievra::UnloadTimeout, VG_STATUS_UNLOADED,
     VG_STATUS_UNLOAD_FAILED, 105, "Unloading timeout."},
    {VG_COMMAND_PLAY, "TSievra.Play", &TSievra::PlayTimeout, VG_STATUS_PLAYING,
     VG_STATUS_PLAY_FAILED, 106, "Play timeout."},
    {VG_COMMAND_STOP, "TSievra.Stop", &TSievra::StopTimeout, VG_STATUS_STOPPED,
     VG_STATUS_STOP_FAILED, 107, "Stop timeout."},
};

const TCommandWait& CommandWaitFor(std::int32_t Command) {
    for (const auto& wait : COMMAND_WAITS)
        if (wait.Command == Command) return wait;
    throw std::logic_error("unknown command");
}

}  // namespace

TSievra::TSievra() {
    platform::guardedVoid("TSievra.Create", [&] {
        FValidationSettingList = std::make_unique<TValidationSettingList>();
        AddDefaultValidationSettings(*FValidationSettingList);
        FValidationSettingList->LoadFromRegistry(VALIDATION_SETTINGS_KEY);
        LoadRegistry();
    });
}

TSievra::~TSievra() {
    Destroy();
}

void TSievra::Destroy() {
    platform::guardedVoid("TSievra.Destroy", [&] {
        FSTLValidationThread.reset();  // waits for a run in progress
        FQuorvexReport.reset();
        SaveRegistry();
        if (FValidationSettingList) {
            FValidationSettingList->SaveToRegistry(VALIDATION_SETTINGS_KEY);
            FValidationSettingList.reset();
        }
    });
}

HRESULT QVX_STDCALL TSievra::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (riid == IID_IUnknown || riid == IID_IQuorvexControl)
        *ppvObject = static_cast<IQuorvexControl*>(this);
    else if (riid == IID_IQuorvexVideoControl)
        *ppvObject = static_cast<IQuorvexVideoControl*>(this);
    else if (riid == IID_IQuorvexReportSet)
        *ppvObject = static_cast<IQuorvexReportSet*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::uint32_t QVX_STDCALL TSievra::AddRef() {
    return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t QVX_STDCALL TSievra::Release() {
    const std::uint32_t left = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

HRESULT QVX_STDCALL TSievra::GetModuleName(const char** Name) {
    return platform::guarded("TSievra.GetModuleName", E_FAIL, [&] {
        if (!Name) throw std::invalid_argument("null");
        *Name = FModuleName.c_str();
        return S_OK;
    });
}

HRESULT TSievra::PostAndWait(const TCommandWait& Wait, const std::string* FileName,
                             bool* Answered) {
    if (Answered) *Answered = false;
    const std::int32_t timeout = this->*Wait.Timeout;
    // The time spent waiting to post counts against the time-out.
    const Clock::time_point start = Clock::now();
    const Clock::time_point postDeadline = start + std::chrono::milliseconds(timeout);
    TSTLValidationThread& worker = *FSTLValidationThread;
    HRESULT posted = E_FAIL;
    switch (Wait.Command) {
        case VG_COMMAND_LOAD:
            posted = worker.LoadFile(*FileName, postDeadline);
            break;
        case VG_COMMAND_UNLOAD:
            posted = worker.UnloadFile(postDeadline);
            break;
        case VG_COMMAND_PLAY:
            posted = worker.Play(postDeadline);
            break;
        case VG_COMMAND_STOP:
            posted = worker.Stop(postDeadline);
            break;
    }
    if (FAILED(posted)) return E_FAIL;

    if (posted == S_OK) {
        for (;;) {
            std::this_thread::sleep_for(1ms);
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            // Time-out before status: an answer in the same pass as the time-out is too late.
            if (elapsed.count() > timeout) break;
            std::int32_t status = 0;
            if (FAILED(worker.GetVGThreadStatus(&status))) return E_FAIL;
            if (status == Wait.Done || status == Wait.Failure) {
                if (Answered) *Answered = true;
                return status == Wait.Done ? S_OK : E_FAIL;
            }
        }
    }
    platform::reportError(Wait.Where, "timeout.");
    if (Wait.Command == VG_COMMAND_UNLOAD)
        Report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Unloading File.", RULE_UNLOADING);
    Report(MODULE_SIEVRA, REPORT_TYPE_ERROR, Wait.TimeoutText, Wait.TimeoutRule);
    return E_FAIL;
}

HRESULT QVX_STDCALL TSievra::LoadFile(const char* FileName) {
    return platform::guarded("TSievra.LoadFile", E_FAIL, [&] {
        if (!FileName) throw std::invalid_argument("null");
        const std::string name = FileName;
        if (!IsSTLFile(name, true, TSTLVariant::Plugin)) return E_FAIL;
        Report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Start validation at " + StartTimeText(),
               RULE_START);
        Report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Loading File: " + name, RULE_LOADING);
        FSTLValidationThread.reset();  // waits for a run in progress
        FSTLValidationThread = std::make_unique<TSTLValidationThread>();
        // Without a sink the worker's findings have nowhere to go, even if one is set later.
        if (FQuorvexReport) {
            FSTLValidationThread->SetQuorvexReport(FQuorvexReport.get());
            FSTLValidationThread->SetValidationSettingList(FValidationSettingList.get());
        }
        return PostAndWait(CommandWaitFor(VG_COMMAND_LOAD), &name);
    });
}

HRESULT QVX_STDCALL TSievra::UnloadFile() {
    return platform::guarded("TSievra.UnloadFile", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        bool answered = false;
        const HRESULT hr = PostAndWait(CommandWaitFor(VG_COMMAND_UNLOAD), nullptr, &answered);
        if (!answered) return hr;  // timed out: the worker stays
        FSTLValidationThread.reset();
        Report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Unloading File.", RULE_UNLOADING);
        return hr;
    });
}

HRESULT QVX_STDCALL TSievra::Play() {
    return platform::guarded("TSievra.Play", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        return PostAndWait(CommandWaitFor(VG_COMMAND_PLAY), nullptr);
    });
}

HRESULT QVX_STDCALL TSievra::Stop() {
    return platform::guarded("TSievra.Stop", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        return PostAndWait(CommandWaitFor(VG_COMMAND_STOP), nullptr);
    });
}

HRESULT QVX_STDCALL TSievra::GetMediaDuration(std::int64_t* Duration) {
    return platform::guarded("TSievra.GetMediaDuration", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        return FSTLValidationThread->GetMediaDuration(Duration);
    });
}

HRESULT QVX_STDCALL TSievra::GetMediaPosition(std::int64_t* Position) {
    return platform::guarded("TSievra.GetMediaPosition", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        return FSTLValidationThread->GetMediaPosition(Position);
    });
}

HRESULT QVX_STDCALL TSievra::GetProgress(double* Progress) {
    return platform::guarded("TSievra.GetProgress", E_FAIL, [&] {
        if (!FSTLValidationThread) return E_FAIL;
        double value = 0.0;
        if (!Progress || FAILED(FSTLValidationThread->GetProgress(&value))) return E_FAIL;
        if (std::isnan(value) || value < 0.0) value = 0.0;
        if (value > 100.0) value = 100.0;
        *Progress = value;
        return S_OK;
    });
}

HRESULT QVX_STDCALL TSievra::Configure(QVX_HWND ParentWindow) {
    return platform::guarded("TSievra.Configure", E_FAIL, [&] {
        if (!FValidationSettingList) return E_FAIL;
        // The dialog edits the list the worker reads its rules from: never during a run.
        if (FSTLValidationThread) FSTLValidationThread->WaitUntilIdle();
        std::int32_t load = LoadTimeout, unload = UnloadTimeout, play = PlayTimeout,
                     stop = StopTimeout;
        if (ShowSetupForm(ParentWindow, load, unload, play, stop, *FValidationSettingList)) {
            LoadTimeout = load;
            UnloadTimeout = unload;
            PlayTimeout = play;
            StopTimeout = stop;
        }
        return S_OK;
    });
}

HRESULT QVX_STDCALL TSievra::QueryVideoValue(std::int32_t* Value) {
    if (Value) *Value = 0;
    return E_NOTIMPL;
}

HRESULT QVX_STDCALL TSievra::QueryVideoValueAt(std::int32_t, std::int32_t* Value) {
    if (Value) *Value = 0;
    return E_NOTIMPL;
}

HRESULT QVX_STDCALL TSievra::SetQuorvexReport(IQuorvexReport* Report) {
    return platform::guarded("TSievra.SetQuorvexReport", E_FAIL, [&] {
        if (!Report) {
            platform::reportFailure("TSievra.SetQuorvexReport");
            return E_INVALIDARG;
        }
        FQuorvexReport = InterfaceRef<IQuorvexReport>(Report);
        if (FSTLValidationThread) FSTLValidationThread->SetQuorvexReport(Report);
        if (FValidationSettingList) FValidationSettingList->SetQuorvexReport(Report);
        return S_OK;
    });
}

HRESULT TSievra::Report(std::int32_t Module, std::int32_t ReportType,
                        const std::string& ReportMessage, std::int32_t ValidationID) {
    return platform::guarded("TSievra.Report", E_FAIL, [&] {
        if (!FValidationSettingList) return E_FAIL;
        return FValidationSettingList->Report(Module, ReportType, ReportMessage, ValidationID);
    });
}

HRESULT TSievra::LoadRegistry() {
    return platform::guarded("TSievra.LoadRegistry", E_FAIL, [&] {
        auto key = platform::RegistryKey::open(SIEVRA_KEY, true);
        if (!key) return S_OK;  // defaults stay in force
        for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i) {
            std::uint32_t value = 0;
            // Any 32-bit integer is taken as it is; the waits cope with 0 and negative values.
            if (key->readDWord(TIMEOUT_VALUES[i], value))
                this->*TIMEOUT_FIELDS[i] = static_cast<std::int32_t>(value);
            else if (!key->writeDWord(TIMEOUT_VALUES[i],
                                      static_cast<std::uint32_t>(this->*TIMEOUT_FIELDS[i])))
                throw std::runtime_error("registry write failed");
        }
        return S_OK;
    });
}

HRESULT TSievra::SaveRegistry() {
    return platform::guarded("TSievra.SaveRegistry", E_FAIL, [&] {
        auto key = platform::RegistryKey::open(SIEVRA_KEY, true);
        if (!key) return S_OK;
        std::vector<std::pair<std::string, platform::RegValue>> values;
        for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i)
            values.emplace_back(TIMEOUT_VALUES[i],
                                platform::RegValue::fromDWord(
                                    static_cast<std::uint32_t>(this->*TIMEOUT_FIELDS[i])));
        if (!key->writeMany(values)) throw std::runtime_error("registry write failed");
        return S_OK;
    });
}
