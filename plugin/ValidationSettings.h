#pragma once
// The rule settings of the plug-in (one per validation ID) and the gate every finding passes on
// its way to the host: disabled rules are dropped, the rule's report type applies and the rule's
// number is put in front of the text.

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

class IQuorvexReport;

struct TValidationSetting {
    std::int32_t ID = 0;
    std::string Name;  // at most 255 characters (longer text is cut when added to a list)
    std::int32_t ReportType = 0;
    bool Enabled = false;
    std::string Description;  // at most 255 characters
    std::int32_t Reserved = 0;
    bool ReportTypeEditable = false;  // also: whether ReportType is read back from the registry
    bool EnabledEditable = false;     // also: whether Enabled is read back from the registry
};

// Key of the rule settings below HKEY_CURRENT_USER.
inline constexpr const char* VALIDATION_SETTINGS_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings\\";

class TValidationSettingList {
public:
    TValidationSettingList();
    ~TValidationSettingList();  // releases the sink
    TValidationSettingList(const TValidationSettingList&) = delete;
    TValidationSettingList& operator=(const TValidationSettingList&) = delete;

    // Appends a copy. Several settings may share an ID; lookups by ID find the first.
    bool AddItem(const TValidationSetting& Setting);
    void ClearValidationSettingList();
    // Replaces every setting by a copy of Source's, in Source's order. The sink is kept.
    bool AssignValidationSettingList(const TValidationSettingList& Source);
    std::int32_t Count() const;
    // The stored setting itself (the settings dialog edits through it); null when out of range.
    TValidationSetting* GetValidationSetting(std::int32_t Index) const;
    TValidationSetting* GetValidationSettingFromID(std::int32_t ID) const;

    // KeyPath below HKEY_CURRENT_USER, e.g. VALIDATION_SETTINGS_KEY. A key that cannot be opened
    // is not an error (true); false only when writing a missing value failed.
    bool LoadFromRegistry(const std::string& KeyPath);
    bool SaveToRegistry(const std::string& KeyPath);

    // Keeps a counted reference (the previous one is released). Null: E_INVALIDARG, sink kept.
    // Safe to call while another thread is inside Report.
    HRESULT SetQuorvexReport(IQuorvexReport* Report);
    // Gates one finding and hands it to the sink as "[NNN] " + ReportMessage. E_FAIL without a
    // sink; S_OK without calling the sink for a disabled rule. Callable from any thread.
    HRESULT Report(std::int32_t Module, std::int32_t ReportType, const std::string& ReportMessage,
                   std::int32_t ValidationID);

private:
    std::vector<std::unique_ptr<TValidationSetting>> FItems;
    // Guards only the sink pointer: Report holds it shared during the sink call, so a sink is
    // never released while a finding is being delivered to it.
    mutable std::shared_mutex FSinkLock;
    IQuorvexReport* FQuorvexReport = nullptr;
};

// Appends the 79 rules (101-107, 201-203, 301-329, 401-440) with their default settings.
void AddDefaultValidationSettings(TValidationSettingList& List);
