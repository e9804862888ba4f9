#include "PluginHost.h"

#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "FindingBlock.h"
#include "HostText.h"
#include "ValidationReportXml.h"
#include "platform/Guarded.h"
#include "plugin_api/QuorvexProfileInterface.h"

using platform::guarded;
using platform::reportError;
using platform::reportFailure;

PluginHost::PluginHost(std::string ownerName)
    : m_ownerName(std::move(ownerName)), m_reportWhere(whereOf("Report")) {}

PluginHost::~PluginHost() {
    unloadPlugin();
}

// The Windows error mode around loading (no critical-error boxes) has no counterpart here.
bool PluginHost::loadPlugin() {
    const std::string where = whereOf("LoadPlugin");
    return guarded(where.c_str(), false, [&] {
        unloadPlugin();
        m_loadError.clear();
        struct stat info {};
        if (m_plugin.empty() || ::stat(m_plugin.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            m_loadError = "file not found";
            return false;
        }
        if (!m_handle.load(m_plugin)) {
            m_loadError = "not a loadable library (" + m_handle.lastError() + ")";
            return false;
        }
        const auto getControl =
            reinterpret_cast<GetQuorvexControlFunction>(m_handle.symbol(GET_QUORVEX_CONTROL_NAME));
        if (!getControl) {
            m_loadError = std::string("no ") + GET_QUORVEX_CONTROL_NAME + " export";
            m_handle.unload();
            return false;
        }
        IQuorvexControl* control = nullptr;
        if (getControl(&control) != 0 || !control) {
            if (control) control->Release();
            m_loadError = std::string(GET_QUORVEX_CONTROL_NAME) + " failed";
            m_handle.unload();
            return false;
        }
        const char* name = nullptr;
        control->GetModuleName(&name);
        m_moduleName = name ? name : "";
        m_quorvexControl = control;
        m_quorvexVideoControl = nullptr;
        m_quorvexReportSet = nullptr;

        void* video = nullptr;
        if (SUCCEEDED(control->QueryInterface(iidIQuorvexVideoControl, &video)) && video)
            m_quorvexVideoControl = static_cast<IQuorvexVideoControl*>(video);
        // Without a report set the plug-in runs all the same; no findings arrive then.
        void* reportSet = nullptr;
        if (SUCCEEDED(control->QueryInterface(iidIQuorvexReportSet, &reportSet)) && reportSet) {
            m_quorvexReportSet = static_cast<IQuorvexReportSet*>(reportSet);
            m_quorvexReportSet->SetQuorvexReport(this);
        }
        return true;
    });
}

namespace {

// The profile interface for one call; the reference goes again at the end of the call.
template <typename Call>
HRESULT withProfileInterface(IQuorvexControl* control, Call call) {
    if (!control) return E_FAIL;
    void* found = nullptr;
    if (FAILED(control->QueryInterface(iidIQuorvexProfile, &found)) || !found) return E_NOINTERFACE;
    auto* profile = static_cast<IQuorvexProfile*>(found);
    const HRESULT hr = call(*profile);
    profile->Release();
    return hr;
}

}  // namespace

HRESULT PluginHost::selectProfile(const std::string& nameOrFile) {
    return withProfileInterface(m_quorvexControl, [&](IQuorvexProfile& profile) {
        return profile.SelectProfile(nameOrFile.c_str());
    });
}

HRESULT PluginHost::ruleListing(std::string& listing) {
    return withProfileInterface(m_quorvexControl, [&](IQuorvexProfile& profile) {
        const char* text = nullptr;
        const HRESULT hr = profile.GetRuleListing(&text);
        if (SUCCEEDED(hr)) listing = text ? text : "";
        return hr;
    });
}

bool PluginHost::unloadPlugin() {
    const std::string where = whereOf("UnloadPlugin");
    return guarded(where.c_str(), false, [&] {
        if (auto* video = std::exchange(m_quorvexVideoControl, nullptr)) video->Release();
        if (auto* control = std::exchange(m_quorvexControl, nullptr)) control->Release();
        if (auto* reportSet = std::exchange(m_quorvexReportSet, nullptr)) reportSet->Release();
        m_handle.unload();
        return true;
    });
}

ValidationOutcome PluginHost::loadAndPlay() {
    const std::string where = whereOf("StartValidation");
    clearReports();
    if (!m_quorvexControl) return ValidationOutcome::NoPlugin;
    if (FAILED(m_quorvexControl->LoadFile(m_fileName.c_str()))) {
        reportError(where.c_str(), "cannot validate file.");
        return ValidationOutcome::LoadFailed;
    }
    if (FAILED(m_quorvexControl->Play())) {
        reportError(where.c_str(), "cannot start file validation.");
        return ValidationOutcome::PlayFailed;
    }
    return ValidationOutcome::Running;
}

bool PluginHost::startValidation() {
    const std::string where = whereOf("StartValidation");
    return guarded(where.c_str(), false,
                   [&] { return loadAndPlay() == ValidationOutcome::Running; });
}

bool PluginHost::stopValidation() {
    const std::string where = whereOf("StopValidation");
    return guarded(where.c_str(), false, [&] {
        if (!m_quorvexControl) return false;
        if (FAILED(m_quorvexControl->Stop())) {
            reportError(where.c_str(), "cannot stop file validation.");
            return false;
        }
        if (FAILED(m_quorvexControl->UnloadFile())) {
            reportError(where.c_str(), "cannot unload file.");
            return false;
        }
        return true;
    });
}

HRESULT PluginHost::getProgress(double& progress) {
    const std::string where = whereOf("GetProgress");
    return guarded(where.c_str(), E_FAIL, [&] {
        return m_quorvexControl ? m_quorvexControl->GetProgress(&progress) : E_FAIL;
    });
}

HRESULT PluginHost::configure(QVX_HWND parentWindow) {
    const std::string where = whereOf("Configure");
    return guarded(where.c_str(), E_FAIL, [&] {
        return m_quorvexControl ? m_quorvexControl->Configure(parentWindow) : E_FAIL;
    });
}

ValidationOutcome PluginHost::validateToEnd(std::chrono::milliseconds pollInterval) {
    const std::string where = whereOf("ValidateToEnd");
    return guarded(where.c_str(), ValidationOutcome::Failed, [&] {
        const ValidationOutcome started = loadAndPlay();
        if (started == ValidationOutcome::PlayFailed) m_quorvexControl->UnloadFile();
        if (started != ValidationOutcome::Running) return started;
        // A run ends soon after its last finding: look again soon while findings arrive. Waking
        // at every finding instead costs a thread switch each, which dominates a long file.
        constexpr std::chrono::microseconds FIRST_WAIT{20};
        const auto longestWait = std::max<std::chrono::microseconds>(pollInterval, FIRST_WAIT);
        std::chrono::microseconds wait = FIRST_WAIT;
        for (;;) {
            double progress = 0;
            if (FAILED(getProgress(progress))) {
                stopValidation();
                return ValidationOutcome::Failed;
            }
            if (isValidationComplete(progress)) break;
            const std::size_t seen = m_reports.count();
            std::this_thread::sleep_for(wait);
            wait = m_reports.count() > seen ? FIRST_WAIT : std::min(wait * 2, longestWait);
        }
        // As in the window: a failing stop or unload is written down and the run still counts.
        stopValidation();
        return ValidationOutcome::Completed;
    });
}

bool PluginHost::isValidationComplete(double progress) {
    return progress >= 100.0 - 0.01 && progress <= 100.0 + 0.01;
}

bool PluginHost::clearReports() {
    const std::string where = whereOf("ClearReports");
    return guarded(where.c_str(), false, [&] {
        m_reports.clear();
        return true;
    });
}

HRESULT PluginHost::saveReportXml(const std::string& xmlFileName) {
    return saveReport(xmlFileName, false) == ReportSaveResult::Saved ? S_OK : E_FAIL;
}

ReportSaveResult PluginHost::saveReport(const std::string& xmlFileName, bool replaceExisting,
                                        bool allowEmpty) {
    const std::string where = whereOf("SaveReportXML");
    return guarded(where.c_str(), ReportSaveResult::WriteFailed, [&] {
        const std::vector<CustomReport> reports = m_reports.snapshot();
        if (reports.empty() && !allowEmpty) return ReportSaveResult::NoFindings;
        return saveReportFile(xmlFileName, replaceExisting,
                              [&] { return validationhost::buildReportXml(m_fileName, reports); });
    });
}

ReportSaveResult PluginHost::saveReportFile(const std::string& fileName, bool replaceExisting,
                                            const std::function<std::string()>& bytes) {
    using validationhost::FileWriteResult;
    const std::string where = whereOf("SaveReportXML");
    return guarded(where.c_str(), ReportSaveResult::WriteFailed, [&] {
        struct stat info {};
        FileWriteResult written = FileWriteResult::AlreadyExists;
        if (replaceExisting || ::lstat(fileName.c_str(), &info) != 0)
            written = validationhost::writeFileAtomically(fileName, bytes(), replaceExisting);
        switch (written) {
            case FileWriteResult::Written:
                return ReportSaveResult::Saved;
            case FileWriteResult::AlreadyExists:
                reportError(where.c_str(), "XML file already exists.");
                return ReportSaveResult::AlreadyExists;
            case FileWriteResult::NotRegularFile:
                reportError(where.c_str(), "not a regular file.");
                return ReportSaveResult::NotRegularFile;
            case FileWriteResult::ReplaceFailed:
                reportError(where.c_str(), "cannot replace the existing file.");
                return ReportSaveResult::ReplaceFailed;
            case FileWriteResult::WriteFailed:
                break;
        }
        reportFailure(where.c_str());
        return ReportSaveResult::WriteFailed;
    });
}

HRESULT PluginHost::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject || isNullInterfaceId(riid)) return E_POINTER;
    if (riid == iidIUnknown || riid == iidIQuorvexReport) {
        *ppvObject = static_cast<IQuorvexReport*>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT PluginHost::Report(std::int32_t module, std::int32_t reportType,
                           const char* reportMessage) {
    return guarded(m_reportWhere.c_str(), E_FAIL, [&] {
        std::string message = validationhost::narrowToUtf8(reportMessage ? reportMessage : "");
        const std::int32_t block = validationhost::takeFindingBlock(message);
        m_reports.add(module, reportType, message, block);
        return S_OK;
    });
}
