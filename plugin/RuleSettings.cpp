#include "RuleSettings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <optional>

#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace {

constexpr std::size_t MAX_SETTING_TEXT = 255;

std::string enabledValueName(std::int32_t id) {
    return std::to_string(id) + "_Enabled";
}
std::string typeValueName(std::int32_t id) {
    return std::to_string(id) + "_Type";
}

// Open (creating) the key below HKEY_CURRENT_USER; a trailing separator names the same key.
std::optional<platform::RegistryKey> openSettingsKey(std::string keyPath) {
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.pop_back();
    return platform::RegistryKey::open(keyPath, true);
}

// "[402] ", "[007] ", "[-005] ": at least three digits. Built by hand: it is written for every
// finding, and a long file has hundreds of thousands.
void appendValidationPrefix(std::string& out, std::int32_t validationId) {
    char digits[16];
    const std::int64_t magnitude = validationId < 0 ? -std::int64_t{validationId} : validationId;
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    out += '[';
    if (validationId < 0) out += '-';
    out.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, 3 - (end - digits))), '0');
    out.append(digits, static_cast<std::size_t>(end - digits));
    out += "] ";
}

}  // namespace

RuleSettings::RuleSettings() = default;

RuleSettings::~RuleSettings() {
    platform::guardedVoid("TValidationSettingList.Destroy", [&] {
        m_items.clear();
        if (m_quorvexReport) {
            IQuorvexReport* sink = m_quorvexReport;
            m_quorvexReport = nullptr;
            sink->Release();
        }
    });
}

bool RuleSettings::addItem(const RuleSetting& setting) {
    return platform::guarded("TValidationSettingList.AddItem", false, [&] {
        auto item = std::make_unique<RuleSetting>(setting);
        if (item->name.size() > MAX_SETTING_TEXT) item->name.resize(MAX_SETTING_TEXT);
        if (item->description.size() > MAX_SETTING_TEXT) item->description.resize(MAX_SETTING_TEXT);
        m_items.push_back(std::move(item));
        return true;
    });
}

void RuleSettings::clearValidationSettingList() {
    platform::guardedVoid("TValidationSettingList.ClearValidationSettingList",
                          [&] { m_items.clear(); });
}

bool RuleSettings::assignValidationSettingList(const RuleSettings& source) {
    return platform::guarded("TValidationSettingList.AssignValidationSettingList", false, [&] {
        if (&source == this) return true;
        // Build the copies first so a failure leaves this list as it was.
        std::vector<std::unique_ptr<RuleSetting>> copies;
        copies.reserve(source.m_items.size());
        for (const auto& item : source.m_items)
            copies.push_back(std::make_unique<RuleSetting>(*item));
        m_items = std::move(copies);
        return true;
    });
}

std::int32_t RuleSettings::count() const {
    return static_cast<std::int32_t>(m_items.size());
}

RuleSetting* RuleSettings::getValidationSetting(std::int32_t index) const {
    return platform::guarded("TValidationSettingList.GetValidationSetting",
                             static_cast<RuleSetting*>(nullptr), [&]() -> RuleSetting* {
                                 if (index < 0 || index >= count()) return nullptr;
                                 return m_items[static_cast<std::size_t>(index)].get();
                             });
}

RuleSetting* RuleSettings::getValidationSettingFromId(std::int32_t id) const {
    return platform::guarded("TValidationSettingList.GetValidationSettingFromID",
                             static_cast<RuleSetting*>(nullptr), [&]() -> RuleSetting* {
                                 for (const auto& item : m_items)
                                     if (item->id == id) return item.get();
                                 return nullptr;
                             });
}

bool RuleSettings::loadFromRegistry(const std::string& keyPath) {
    return platform::guarded("TValidationSettingList.LoadFromRegistry", false, [&] {
        auto key = openSettingsKey(keyPath);
        if (!key) return true;

        // Missing or wrongly typed values get the current setting written back. All such writes
        // go out as one batch; should it fail, the settings end up as if the first of those
        // writes had failed on its own: nothing visited after it is taken from the registry.
        struct Snapshot {
            bool enabled;
            std::int32_t reportType;
        };
        std::vector<Snapshot> before;
        before.reserve(m_items.size());
        for (const auto& item : m_items) before.push_back({item->enabled, item->reportType});

        std::vector<std::pair<std::string, platform::RegValue>> writes;
        std::size_t firstWriteIndex = 0;
        bool firstWriteIsEnabled = false;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            RuleSetting& setting = *m_items[i];
            std::uint32_t value = 0;
            if (setting.enabledEditable) {
                const std::string name = enabledValueName(setting.id);
                if (key->readDWord(name, value)) {
                    setting.enabled = value != 0;
                } else {
                    if (writes.empty()) firstWriteIndex = i, firstWriteIsEnabled = true;
                    writes.emplace_back(name,
                                        platform::RegValue::fromDWord(setting.enabled ? 1u : 0u));
                }
            }
            if (setting.reportTypeEditable) {
                const std::string name = typeValueName(setting.id);
                if (key->readDWord(name, value)) {
                    setting.reportType = static_cast<std::int32_t>(value);
                } else {
                    if (writes.empty()) firstWriteIndex = i, firstWriteIsEnabled = false;
                    writes.emplace_back(name, platform::RegValue::fromDWord(
                                                  static_cast<std::uint32_t>(setting.reportType)));
                }
            }
        }
        if (writes.empty() || key->writeMany(writes)) return true;

        if (firstWriteIsEnabled)
            m_items[firstWriteIndex]->reportType = before[firstWriteIndex].reportType;
        for (std::size_t i = firstWriteIndex + 1; i < m_items.size(); ++i) {
            m_items[i]->enabled = before[i].enabled;
            m_items[i]->reportType = before[i].reportType;
        }
        platform::reportFailure("TValidationSettingList.LoadFromRegistry");
        return false;
    });
}

bool RuleSettings::saveToRegistry(const std::string& keyPath, const std::set<std::string>* only) {
    return platform::guarded("TValidationSettingList.SaveToRegistry", false, [&] {
        if (only && only->empty()) return true;
        auto key = openSettingsKey(keyPath);
        if (!key) return true;
        std::vector<std::pair<std::string, platform::RegValue>> writes;
        writes.reserve(m_items.size() * 2);
        const auto add = [&](std::string name, std::uint32_t value) {
            if (!only || only->count(name))
                writes.emplace_back(std::move(name), platform::RegValue::fromDWord(value));
        };
        for (const auto& item : m_items) {
            add(enabledValueName(item->id), item->enabled ? 1u : 0u);
            add(typeValueName(item->id), static_cast<std::uint32_t>(item->reportType));
        }
        if (key->writeMany(writes)) return true;
        platform::reportFailure("TValidationSettingList.SaveToRegistry");
        return false;
    });
}

std::set<std::string> RuleSettings::changedValues(const RuleSettings& before) const {
    std::set<std::string> changed;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const RuleSetting& now = *m_items[i];
        const RuleSetting* then = i < before.m_items.size() ? before.m_items[i].get() : nullptr;
        if (!then || then->id != now.id || then->enabled != now.enabled)
            changed.insert(enabledValueName(now.id));
        if (!then || then->id != now.id || then->reportType != now.reportType)
            changed.insert(typeValueName(now.id));
    }
    return changed;
}

HRESULT RuleSettings::setQuorvexReport(IQuorvexReport* report) {
    return platform::guarded("TValidationSettingList.SetQuorvexReport", E_FAIL, [&] {
        if (!report) {
            platform::reportFailure("TValidationSettingList.SetQuorvexReport");
            return E_INVALIDARG;
        }
        report->AddRef();
        IQuorvexReport* previous = nullptr;
        {
            std::unique_lock lock(m_sinkLock);
            previous = m_quorvexReport;
            m_quorvexReport = report;
        }
        if (previous) previous->Release();
        return S_OK;
    });
}

HRESULT RuleSettings::report(std::int32_t module, std::int32_t reportType,
                             const std::string& reportMessage, std::int32_t validationId) {
    return platform::guarded("TValidationSettingList.Report", E_FAIL, [&] {
        std::shared_lock lock(m_sinkLock);
        if (!m_quorvexReport) return E_FAIL;
        const RuleSetting* setting = getValidationSettingFromId(validationId);
        if (setting && !setting->enabled) return S_OK;
        std::string text;
        text.reserve(reportMessage.size() + 16);
        appendValidationPrefix(text, validationId);
        text += reportMessage;
        return m_quorvexReport->Report(module, setting ? setting->reportType : reportType,
                                       text.c_str());
    });
}
