#pragma once
// The plug-in object behind the three interfaces the host drives. It turns each host call into a
// command for the validation worker and waits for the answer or its time-out, sends its own
// findings (rules 101-107), and keeps its time-outs and the rule settings in the registry.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "InterfaceRef.h"
#include "plugin_api/QuorvexControlInterface.h"

class ValidationWorker;
class RuleSettings;
class DeliverySettings;
class ProfileAccess;
struct CommandWait;

// Time-outs below HKEY_CURRENT_USER.
inline constexpr const char* SIEVRA_KEY = "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra";
inline constexpr const char* LOAD_FILE_TIMEOUT_VALUE = "LOAD_FILE_TIMEOUT_MS";
inline constexpr const char* UNLOAD_FILE_TIMEOUT_VALUE = "UNLOAD_FILE_TIMEOUT_MS";
inline constexpr const char* PLAY_TIMEOUT_VALUE = "PLAY_TIMEOUT_MS";
inline constexpr const char* STOP_TIMEOUT_VALUE = "STOP_TIMEOUT_MS";

class SievraControl final : public IQuorvexControl,
                            public IQuorvexVideoControl,
                            public IQuorvexReportSet {
public:
    // Starts with one reference, held by the caller. Loads the rule settings and the time-outs;
    // a failure there leaves the defaults in force.
    SievraControl();
    SievraControl(const SievraControl&) = delete;
    SievraControl& operator=(const SievraControl&) = delete;

    // IUnknown, shared by the three interfaces.
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) override;
    std::uint32_t QVX_STDCALL AddRef() override;
    std::uint32_t QVX_STDCALL Release() override;

    // IQuorvexControl.
    HRESULT QVX_STDCALL GetModuleName(const char** name) override;
    HRESULT QVX_STDCALL LoadFile(const char* fileName) override;
    HRESULT QVX_STDCALL UnloadFile() override;
    HRESULT QVX_STDCALL GetMediaDuration(std::int64_t* duration) override;
    HRESULT QVX_STDCALL GetMediaPosition(std::int64_t* position) override;
    HRESULT QVX_STDCALL Play() override;
    HRESULT QVX_STDCALL Stop() override;
    HRESULT QVX_STDCALL GetProgress(double* progress) override;
    HRESULT QVX_STDCALL Configure(QVX_HWND parentWindow) override;

    // IQuorvexVideoControl: not implemented by this plug-in.
    HRESULT QVX_STDCALL QueryVideoValue(std::int32_t* value) override;
    HRESULT QVX_STDCALL QueryVideoValueAt(std::int32_t index, std::int32_t* value) override;

    // IQuorvexReportSet.
    HRESULT QVX_STDCALL SetQuorvexReport(IQuorvexReport* report) override;

    // One finding of the object itself, through the rule settings.
    HRESULT report(std::int32_t module, std::int32_t reportType, const std::string& reportMessage,
                   std::int32_t validationId);
    HRESULT loadRegistry();
    // Writes only the time-outs this object changed (through Configure).
    HRESULT saveRegistry();

    std::int32_t m_loadTimeout = 15000;
    std::int32_t m_unloadTimeout = 15000;
    std::int32_t m_playTimeout = 5000;
    std::int32_t m_stopTimeout = 5000;

private:
    ~SievraControl();  // only Release destroys

    // Answered tells whether the worker gave the done or failure status in time.
    HRESULT postAndWait(const CommandWait& wait, const std::string* fileName,
                        bool* answered = nullptr);
    void destroy();

    std::atomic<std::uint32_t> m_refCount{1};
    const std::string m_moduleName = "Sievra";
    std::unique_ptr<ValidationWorker> m_worker;
    InterfaceRef<IQuorvexReport> m_quorvexReport;
    std::unique_ptr<RuleSettings> m_ruleSettings;
    std::unique_ptr<DeliverySettings> m_deliverySettings;
    std::unique_ptr<ProfileAccess> m_profileAccess;  // IQuorvexProfile
    // What the user changed through this object's dialogs: only that goes back to the registry,
    // so values another process saved meanwhile are not overwritten with this object's copy.
    std::set<std::string> m_changedRuleValues;
    std::set<std::string> m_changedDeliveryValues;
    std::array<bool, 4> m_changedTimeouts{};
};
