#pragma once
// The rule settings of the plug-in (one per validation ID) and the gate every finding passes on
// its way to the host: disabled rules are dropped, the rule's report type applies and the rule's
// number is put in front of the text.

#include <cstdint>
#include <memory>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

class IQuorvexReport;

struct RuleSetting {
    std::int32_t id = 0;
    std::string name;  // at most 255 characters (longer text is cut when added to a list)
    std::int32_t reportType = 0;
    bool enabled = false;
    std::string description;  // at most 255 characters
    std::int32_t reserved = 0;
    bool reportTypeEditable = false;  // also: whether ReportType is read back from the registry
    bool enabledEditable = false;     // also: whether Enabled is read back from the registry
};

// Key of the rule settings below HKEY_CURRENT_USER.
inline constexpr const char* VALIDATION_SETTINGS_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings\\";

class RuleSettings {
public:
    RuleSettings();
    ~RuleSettings();  // releases the sink
    RuleSettings(const RuleSettings&) = delete;
    RuleSettings& operator=(const RuleSettings&) = delete;

    // Appends a copy. Several settings may share an ID; lookups by ID find the first.
    bool addItem(const RuleSetting& setting);
    void clearValidationSettingList();
    // Replaces every setting by a copy of Source's, in Source's order. The sink is kept.
    bool assignValidationSettingList(const RuleSettings& source);
    std::int32_t count() const;
    // The stored setting itself (the settings dialog edits through it); null when out of range.
    RuleSetting* getValidationSetting(std::int32_t index) const;
    RuleSetting* getValidationSettingFromId(std::int32_t id) const;

    // KeyPath below HKEY_CURRENT_USER, e.g. VALIDATION_SETTINGS_KEY. A key that cannot be opened
    // is not an error (true); false only when writing a missing value failed.
    bool loadFromRegistry(const std::string& keyPath);
    // Writes every setting, or with Only just the values it names ("402_Type"); an empty Only
    // writes nothing and leaves the store untouched.
    bool saveToRegistry(const std::string& keyPath, const std::set<std::string>* only = nullptr);
    // Names of the registry values in which this list differs from Before, setting by setting.
    std::set<std::string> changedValues(const RuleSettings& before) const;

    // Keeps a counted reference (the previous one is released). Null: E_INVALIDARG, sink kept.
    // Safe to call while another thread is inside Report.
    HRESULT setQuorvexReport(IQuorvexReport* report);
    // Gates one finding and hands it to the sink as "[NNN] " + ReportMessage. E_FAIL without a
    // sink; S_OK without calling the sink for a disabled rule. Callable from any thread.
    HRESULT report(std::int32_t module, std::int32_t reportType, const std::string& reportMessage,
                   std::int32_t validationId);

private:
    std::vector<std::unique_ptr<RuleSetting>> m_items;
    // Guards only the sink pointer: Report holds it shared during the sink call, so a sink is
    // never released while a finding is being delivered to it.
    mutable std::shared_mutex m_sinkLock;
    IQuorvexReport* m_quorvexReport = nullptr;
};

// Appends the 79 rules (101-107, 201-203, 301-329, 401-440) with their default settings.
void addDefaultValidationSettings(RuleSettings& list);
