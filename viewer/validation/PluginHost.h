#pragma once
// The host side of a validation plug-in, without any user interface: loads the library, binds
// its interfaces, is the report sink the plug-in calls, and drives one validation at a time
// (load, play, poll, stop, unload). The validation window and the command-line validator both
// run on it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "plugin_api/QuorvexControlInterface.h"

// One finding as received from the plug-in.
struct TCustomReport {
    std::int32_t Module = 0;
    std::int32_t ReportType = 0;
    std::string ReportMessage;  // UTF-8

    bool operator==(const TCustomReport&) const = default;
};

// Findings in arrival order. The plug-in's worker appends while the user-interface thread
// reads, saves or clears, so every access holds the lock.
class TReportList {
public:
    void Add(TCustomReport Report);
    void Clear();
    std::size_t Count() const;
    std::vector<TCustomReport> Snapshot() const;

private:
    mutable std::mutex FLock;
    std::vector<TCustomReport> FItems;
};

// How a validation run to its end came out.
enum class TValidationOutcome {
    Completed,   // progress reached 100, the file was stopped and unloaded
    Running,     // loaded and playing; progress is still to be polled
    NoPlugin,    // nothing bound
    LoadFailed,  // LoadFile refused the file (not an STL file, unreadable, time-out)
    PlayFailed,  // Play failed
    Failed       // GetProgress failed while waiting, or an internal failure
};

// Result of writing the report file.
enum class TReportSaveResult {
    Saved,
    NoFindings,     // nothing to write
    AlreadyExists,  // the file exists and replacing was not asked for
    ReplaceFailed,  // the new report is complete but could not take the existing one's place
    WriteFailed     // the file could not be created or written; nothing is left behind
};

class TPluginHost : public IQuorvexReport {
public:
    // OwnerName is the class name that diagnostics carry ("TMediaValidationForm").
    explicit TPluginHost(std::string OwnerName = "TPluginHost");
    ~TPluginHost();
    TPluginHost(const TPluginHost&) = delete;
    TPluginHost& operator=(const TPluginHost&) = delete;

    // Library path and the file to validate, both native narrow text (never converted).
    void SetPlugin(std::string Plugin) { FPlugin = std::move(Plugin); }
    const std::string& Plugin() const { return FPlugin; }
    void SetFileName(std::string FileName) { FFileName = std::move(FileName); }
    const std::string& FileName() const { return FFileName; }
    const std::string& ModuleName() const { return FModuleName; }
    // Why the last LoadPlugin failed, for a user-facing message; empty after success.
    const std::string& LoadError() const { return FLoadError; }

    bool IsBound() const { return FQuorvexControl != nullptr; }
    bool HasVideoControl() const { return FQuorvexVideoControl != nullptr; }
    bool HasReportSet() const { return FQuorvexReportSet != nullptr; }

    bool LoadPlugin();
    // Releases the interfaces and unloads the library; without anything bound it does nothing.
    bool UnloadPlugin();

    // Empties the findings, then LoadFile and Play.
    bool StartValidation();
    // Stop and UnloadFile.
    bool StopValidation();
    // GetProgress; E_FAIL when nothing is bound.
    HRESULT GetProgress(double& Progress);
    // Configure; E_FAIL when nothing is bound.
    HRESULT Configure(QVX_HWND ParentWindow);
    // The whole road for callers without an event loop: start, poll every PollInterval until
    // complete, stop and unload.
    TValidationOutcome ValidateToEnd(std::chrono::milliseconds PollInterval);

    // 100 within 0.01 counts as finished.
    static bool IsValidationComplete(double Progress);

    bool ClearReports();
    std::size_t ReportCount() const { return FReports.Count(); }
    std::vector<TCustomReport> Reports() const { return FReports.Snapshot(); }

    // Writes the stored findings as an XML report; never overwrites an existing file.
    HRESULT SaveReportXML(const std::string& XMLFileName);
    // Same layout; with ReplaceExisting an existing file is replaced only once the new report
    // is complete, so a failed save keeps the old one.
    // AllowEmpty writes a report without findings instead of refusing it.
    TReportSaveResult SaveReport(const std::string& XMLFileName, bool ReplaceExisting,
                                 bool AllowEmpty = false);

    // IUnknown. The host's life is not governed by the plug-in's references: counting does
    // nothing.
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) override;
    std::uint32_t QVX_STDCALL AddRef() override { return 1; }
    std::uint32_t QVX_STDCALL Release() override { return 1; }
    // IQuorvexReport; called from the plug-in's worker thread as well.
    HRESULT QVX_STDCALL Report(std::int32_t Module, std::int32_t ReportType,
                               const char* ReportMessage) override;

protected:
    std::string Where(const char* Operation) const { return FOwnerName + "." + Operation; }

private:
    TValidationOutcome LoadAndPlay();

    std::string FOwnerName;
    std::string FReportWhere;  // built once: Report must not allocate before its guard
    std::string FPlugin;
    std::string FFileName;
    std::string FModuleName;
    std::string FLoadError;
    platform::DynamicLibrary FHandle;
    IQuorvexControl* FQuorvexControl = nullptr;
    IQuorvexVideoControl* FQuorvexVideoControl = nullptr;
    IQuorvexReportSet* FQuorvexReportSet = nullptr;
    TReportList FReports;
};
