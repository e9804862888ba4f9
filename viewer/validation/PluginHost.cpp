#include "PluginHost.h"

#include <sys/stat.h>

#include <thread>

#include "HostText.h"
#include "ValidationReportXML.h"
#include "platform/Guarded.h"

using platform::guarded;
using platform::reportError;
using platform::reportFailure;

void TReportList::Add(TCustomReport Report) {
    std::lock_guard lock(FLock);
    FItems.push_back(std::move(Report));
}

void TReportList::Clear() {
    std::lock_guard lock(FLock);
    FItems.clear();
}

std::size_t TReportList::Count() const {
    std::lock_guard lock(FLock);
    return FItems.size();
}

std::vector<TCustomReport> TReportList::Snapshot() const {
    std::lock_guard lock(FLock);
    return FItems;
}

TPluginHost::TPluginHost(std::string OwnerName)
    : FOwnerName(std::move(OwnerName)), FReportWhere(Where("Report")) {}

TPluginHost::~TPluginHost() {
    UnloadPlugin();
}

// The Windows error mode around loading (no critical-error boxes) has no counterpart here.
bool TPluginHost::LoadPlugin() {
    const std::string where = Where("LoadPlugin");
    return guarded(where.c_str(), false, [&] {
        UnloadPlugin();
        FLoadError.clear();
        struct stat info {};
        if (FPlugin.empty() || ::stat(FPlugin.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            FLoadError = "file not found";
            return false;
        }
        if (!FHandle.load(FPlugin)) {
            FLoadError = "not a loadable library (" + FHandle.lastError() + ")";
            return false;
        }
        const auto getControl =
            reinterpret_cast<TGetQuorvexControl>(FHandle.symbol(GET_QUORVEX_CONTROL_NAME));
        if (!getControl) {
            FLoadError = std::string("no ") + GET_QUORVEX_CONTROL_NAME + " export";
            FHandle.unload();
            return false;
        }
        IQuorvexControl* control = nullptr;
        if (getControl(&control) != 0 || !control) {
            if (control) control->Release();
            FLoadError = std::string(GET_QUORVEX_CONTROL_NAME) + " failed";
            FHandle.unload();
            return false;
        }
        const char* name = nullptr;
        control->GetModuleName(&name);
        FModuleName = name ? name : "";
        FQuorvexControl = control;
        FQuorvexVideoControl = nullptr;
        FQuorvexReportSet = nullptr;

        void* video = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IQuorvexVideoControl, &video)) && video)
            FQuorvexVideoControl = static_cast<IQuorvexVideoControl*>(video);
        // Without a report set the plug-in runs all the same; no findings arrive then.
        void* reportSet = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IQuorvexReportSet, &reportSet)) && reportSet) {
            FQuorvexReportSet = static_cast<IQuorvexReportSet*>(reportSet);
            FQuorvexReportSet->SetQuorvexReport(this);
        }
        return true;
    });
}

bool TPluginHost::UnloadPlugin() {
    const std::string where = Where("UnloadPlugin");
    return guarded(where.c_str(), false, [&] {
        if (auto* video = std::exchange(FQuorvexVideoControl, nullptr)) video->Release();
        if (auto* control = std::exchange(FQuorvexControl, nullptr)) control->Release();
        if (auto* reportSet = std::exchange(FQuorvexReportSet, nullptr)) reportSet->Release();
        FHandle.unload();
        return true;
    });
}

TValidationOutcome TPluginHost::LoadAndPlay() {
    const std::string where = Where("StartValidation");
    ClearReports();
    if (!FQuorvexControl) return TValidationOutcome::NoPlugin;
    if (FAILED(FQuorvexControl->LoadFile(FFileName.c_str()))) {
        reportError(where.c_str(), "cannot validate file.");
        return TValidationOutcome::LoadFailed;
    }
    if (FAILED(FQuorvexControl->Play())) {
        reportError(where.c_str(), "cannot start file validation.");
        return TValidationOutcome::PlayFailed;
    }
    return TValidationOutcome::Running;
}

bool TPluginHost::StartValidation() {
    const std::string where = Where("StartValidation");
    return guarded(where.c_str(), false,
                   [&] { return LoadAndPlay() == TValidationOutcome::Running; });
}

bool TPluginHost::StopValidation() {
    const std::string where = Where("StopValidation");
    return guarded(where.c_str(), false, [&] {
        if (!FQuorvexControl) return false;
        if (FAILED(FQuorvexControl->Stop())) {
            reportError(where.c_str(), "cannot stop file validation.");
            return false;
        }
        if (FAILED(FQuorvexControl->UnloadFile())) {
            reportError(where.c_str(), "cannot unload file.");
            return false;
        }
        return true;
    });
}

HRESULT TPluginHost::GetProgress(double& Progress) {
    const std::string where = Where("GetProgress");
    return guarded(where.c_str(), E_FAIL, [&] {
        return FQuorvexControl ? FQuorvexControl->GetProgress(&Progress) : E_FAIL;
    });
}

HRESULT TPluginHost::Configure(QVX_HWND ParentWindow) {
    const std::string where = Where("Configure");
    return guarded(where.c_str(), E_FAIL, [&] {
        return FQuorvexControl ? FQuorvexControl->Configure(ParentWindow) : E_FAIL;
    });
}

TValidationOutcome TPluginHost::ValidateToEnd(std::chrono::milliseconds PollInterval) {
    const std::string where = Where("ValidateToEnd");
    return guarded(where.c_str(), TValidationOutcome::Failed, [&] {
        const TValidationOutcome started = LoadAndPlay();
        if (started == TValidationOutcome::PlayFailed) FQuorvexControl->UnloadFile();
        if (started != TValidationOutcome::Running) return started;
        for (;;) {
            double progress = 0;
            if (FAILED(GetProgress(progress))) {
                StopValidation();
                return TValidationOutcome::Failed;
            }
            if (IsValidationComplete(progress)) break;
            std::this_thread::sleep_for(PollInterval);
        }
        // As in the window: a failing stop or unload is written down and the run still counts.
        StopValidation();
        return TValidationOutcome::Completed;
    });
}

bool TPluginHost::IsValidationComplete(double Progress) {
    return Progress >= 100.0 - 0.01 && Progress <= 100.0 + 0.01;
}

bool TPluginHost::ClearReports() {
    const std::string where = Where("ClearReports");
    return guarded(where.c_str(), false, [&] {
        FReports.Clear();
        return true;
    });
}

HRESULT TPluginHost::SaveReportXML(const std::string& XMLFileName) {
    return SaveReport(XMLFileName, false) == TReportSaveResult::Saved ? S_OK : E_FAIL;
}

TReportSaveResult TPluginHost::SaveReport(const std::string& XMLFileName, bool ReplaceExisting,
                                          bool AllowEmpty) {
    using validationhost::TFileWriteResult;
    const std::string where = Where("SaveReportXML");
    return guarded(where.c_str(), TReportSaveResult::WriteFailed, [&] {
        const std::vector<TCustomReport> reports = FReports.Snapshot();
        if (reports.empty() && !AllowEmpty) return TReportSaveResult::NoFindings;
        struct stat info {};
        TFileWriteResult written = TFileWriteResult::AlreadyExists;
        if (ReplaceExisting || ::lstat(XMLFileName.c_str(), &info) != 0) {
            written = validationhost::WriteFileAtomically(
                XMLFileName, validationhost::BuildReportXML(FFileName, reports), ReplaceExisting);
        }
        switch (written) {
            case TFileWriteResult::Written:
                return TReportSaveResult::Saved;
            case TFileWriteResult::AlreadyExists:
                reportError(where.c_str(), "XML file already exists.");
                return TReportSaveResult::AlreadyExists;
            case TFileWriteResult::ReplaceFailed:
                reportError(where.c_str(), "cannot replace the existing file.");
                return TReportSaveResult::ReplaceFailed;
            case TFileWriteResult::WriteFailed:
                break;
        }
        reportFailure(where.c_str());
        return TReportSaveResult::WriteFailed;
    });
}

HRESULT TPluginHost::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IQuorvexReport) {
        *ppvObject = static_cast<IQuorvexReport*>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT TPluginHost::Report(std::int32_t Module, std::int32_t ReportType,
                            const char* ReportMessage) {
    return guarded(FReportWhere.c_str(), E_FAIL, [&] {
        FReports.Add(
            {Module, ReportType, validationhost::NarrowToUtf8(ReportMessage ? ReportMessage : "")});
        return S_OK;
    });
}
