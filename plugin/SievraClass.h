#pragma once
// The plug-in object behind the three interfaces the host drives. It turns each host call into a
// command for the validation worker and waits for the answer or its time-out, sends its own
// findings (rules 101-107), and keeps its time-outs and the rule settings in the registry.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "InterfaceRef.h"
#include "plugin_api/QuorvexControlInterface.h"

class TSTLValidationThread;
class TValidationSettingList;
struct TCommandWait;

// Time-outs below HKEY_CURRENT_USER.
inline constexpr const char* SIEVRA_KEY = "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra";
inline constexpr const char* LOAD_FILE_TIMEOUT_VALUE = "LOAD_FILE_TIMEOUT_MS";
inline constexpr const char* UNLOAD_FILE_TIMEOUT_VALUE = "UNLOAD_FILE_TIMEOUT_MS";
inline constexpr const char* PLAY_TIMEOUT_VALUE = "PLAY_TIMEOUT_MS";
inline constexpr const char* STOP_TIMEOUT_VALUE = "STOP_TIMEOUT_MS";

class TSievra final : public IQuorvexControl,
                      public IQuorvexVideoControl,
                      public IQuorvexReportSet {
public:
    // Starts with one reference, held by the caller. Loads the rule settings and the time-outs;
    // a failure there leaves the defaults in force.
    TSievra();
    TSievra(const TSievra&) = delete;
    TSievra& operator=(const TSievra&) = delete;

    // IUnknown, shared by the three interfaces.
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) override;
    std::uint32_t QVX_STDCALL AddRef() override;
    std::uint32_t QVX_STDCALL Release() override;

    // IQuorvexControl.
    HRESULT QVX_STDCALL GetModuleName(const char** Name) override;
    HRESULT QVX_STDCALL LoadFile(const char* FileName) override;
    HRESULT QVX_STDCALL UnloadFile() override;
    HRESULT QVX_STDCALL GetMediaDuration(std::int64_t* Duration) override;
    HRESULT QVX_STDCALL GetMediaPosition(std::int64_t* Position) override;
    HRESULT QVX_STDCALL Play() override;
    HRESULT QVX_STDCALL Stop() override;
    HRESULT QVX_STDCALL GetProgress(double* Progress) override;
    HRESULT QVX_STDCALL Configure(QVX_HWND ParentWindow) override;

    // IQuorvexVideoControl: not implemented by this plug-in.
    HRESULT QVX_STDCALL QueryVideoValue(std::int32_t* Value) override;
    HRESULT QVX_STDCALL QueryVideoValueAt(std::int32_t Index, std::int32_t* Value) override;

    // IQuorvexReportSet.
    HRESULT QVX_STDCALL SetQuorvexReport(IQuorvexReport* Report) override;

    // One finding of the object itself, through the rule settings.
    HRESULT Report(std::int32_t Module, std::int32_t ReportType, const std::string& ReportMessage,
                   std::int32_t ValidationID);
    HRESULT LoadRegistry();
    HRESULT SaveRegistry();

    std::int32_t LoadTimeout = 15000;
    std::int32_t UnloadTimeout = 15000;
    std::int32_t PlayTimeout = 5000;
    std::int32_t StopTimeout = 5000;

private:
    ~TSievra();  // only Release destroys

    // Answered tells whether the worker gave the done or failure status in time.
    HRESULT PostAndWait(const TCommandWait& Wait, const std::string* FileName,
                        bool* Answered = nullptr);
    void Destroy();

    std::atomic<std::uint32_t> FRefCount{1};
    const std::string FModuleName = "Sievra";
    std::unique_ptr<TSTLValidationThread> FSTLValidationThread;
    InterfaceRef<IQuorvexReport> FQuorvexReport;
    std::unique_ptr<TValidationSettingList> FValidationSettingList;
};
