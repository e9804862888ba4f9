#pragma once
// The host side of a validation plug-in, without any user interface: loads the library, binds
// its interfaces, is the report sink the plug-in calls, and drives one validation at a time
// (load, play, poll, stop, unload). The validation window and the command-line validator both
// run on it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ReportList.h"
#include "platform/DynamicLibrary.h"
#include "plugin_api/QuorvexControlInterface.h"

// How a validation run to its end came out.
enum class ValidationOutcome {
    Completed,   // progress reached 100, the file was stopped and unloaded
    Running,     // loaded and playing; progress is still to be polled
    NoPlugin,    // nothing bound
    LoadFailed,  // LoadFile refused the file (not an STL file, unreadable, time-out)
    PlayFailed,  // Play failed
    Failed       // GetProgress failed while waiting, or an internal failure
};

// Result of writing the report file.
enum class ReportSaveResult {
    Saved,
    NoFindings,      // nothing to write
    AlreadyExists,   // the file exists and replacing was not asked for
    NotRegularFile,  // a folder, FIFO, device or socket is in the way; nothing was changed
    ReplaceFailed,   // the new report is complete but could not take the existing one's place
    WriteFailed      // the file could not be created or written; nothing is left behind
};

class PluginHost : public IQuorvexReport {
public:
    // OwnerName is the class name that diagnostics carry ("TMediaValidationForm").
    explicit PluginHost(std::string ownerName = "TPluginHost");
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Library path and the file to validate, both native narrow text (never converted).
    void setPlugin(std::string plugin) { m_plugin = std::move(plugin); }
    const std::string& plugin() const { return m_plugin; }
    void setFileName(std::string fileName) { m_fileName = std::move(fileName); }
    const std::string& fileName() const { return m_fileName; }
    const std::string& moduleName() const { return m_moduleName; }
    // Why the last LoadPlugin failed, for a user-facing message; empty after success.
    const std::string& loadError() const { return m_loadError; }

    bool isBound() const { return m_quorvexControl != nullptr; }
    bool hasVideoControl() const { return m_quorvexVideoControl != nullptr; }
    bool hasReportSet() const { return m_quorvexReportSet != nullptr; }

    bool loadPlugin();
    // Releases the interfaces and unloads the library; without anything bound it does nothing.
    bool unloadPlugin();

    // Empties the findings, then LoadFile and Play.
    bool startValidation();
    // Stop and UnloadFile.
    bool stopValidation();
    // GetProgress; E_FAIL when nothing is bound.
    HRESULT getProgress(double& progress);
    // Configure; E_FAIL when nothing is bound.
    HRESULT configure(QVX_HWND parentWindow);
    // The whole road for callers without an event loop: start, wait until complete, stop and
    // unload. The interface has no call that waits for the end of a run, so progress is read
    // again soon (20 us) while findings arrive and otherwise at growing intervals of at most
    // PollInterval.
    ValidationOutcome validateToEnd(std::chrono::milliseconds pollInterval);

    // Through the plug-in's optional profile interface: a delivery profile (short name or file)
    // for this host's runs only, and every rule as a run would use it. E_NOINTERFACE from a
    // plug-in without that interface, E_FAIL when nothing is bound.
    HRESULT selectProfile(const std::string& nameOrFile);
    HRESULT ruleListing(std::string& listing);

    // 100 within 0.01 counts as finished.
    static bool isValidationComplete(double progress);

    bool clearReports();
    std::size_t reportCount() const { return m_reports.count(); }
    // See ReportList::setStoreLimit.
    void setReportStoreLimit(std::size_t limit) { m_reports.setStoreLimit(limit); }
    std::vector<CustomReport> reports() const { return m_reports.snapshot(); }
    const ReportList& reportList() const { return m_reports; }

    // Writes the stored findings as an XML report; never overwrites an existing file.
    HRESULT saveReportXml(const std::string& xmlFileName);
    // Same layout; with ReplaceExisting an existing file is replaced only once the new report
    // is complete, so a failed save keeps the old one.
    // AllowEmpty writes a report without findings instead of refusing it.
    ReportSaveResult saveReport(const std::string& xmlFileName, bool replaceExisting,
                                bool allowEmpty = false);
    // Writes what Bytes gives as a report file in the same way, whatever its format.
    ReportSaveResult saveReportFile(const std::string& fileName, bool replaceExisting,
                                    const std::function<std::string()>& bytes);

    // IUnknown. The host's life is not governed by the plug-in's references: counting does
    // nothing.
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) override;
    std::uint32_t QVX_STDCALL AddRef() override { return 1; }
    std::uint32_t QVX_STDCALL Release() override { return 1; }
    // IQuorvexReport; called from the plug-in's worker thread as well.
    HRESULT QVX_STDCALL Report(std::int32_t module, std::int32_t reportType,
                               const char* reportMessage) override;

protected:
    std::string whereOf(const char* operation) const { return m_ownerName + "." + operation; }

private:
    ValidationOutcome loadAndPlay();

    std::string m_ownerName;
    std::string m_reportWhere;  // built once: Report must not allocate before its guard
    std::string m_plugin;
    std::string m_fileName;
    std::string m_moduleName;
    std::string m_loadError;
    platform::DynamicLibrary m_handle;
    IQuorvexControl* m_quorvexControl = nullptr;
    IQuorvexVideoControl* m_quorvexVideoControl = nullptr;
    IQuorvexReportSet* m_quorvexReportSet = nullptr;
    ReportList m_reports;
};
