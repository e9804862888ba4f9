#include "ProfileAccess.h"

#include "DeliveryProfiles.h"
#include "RuleSettings.h"
#include "platform/Guarded.h"

ProfileAccess::ProfileAccess(IUnknown& owner, const RuleSettings& rules,
                             const DeliverySettings& stored)
    : m_owner(owner), m_rules(rules), m_stored(stored) {}

HRESULT QVX_STDCALL ProfileAccess::QueryInterface(REFIID riid, void** ppvObject) {
    return m_owner.QueryInterface(riid, ppvObject);
}

std::uint32_t QVX_STDCALL ProfileAccess::AddRef() {
    return m_owner.AddRef();
}

std::uint32_t QVX_STDCALL ProfileAccess::Release() {
    return m_owner.Release();
}

HRESULT QVX_STDCALL ProfileAccess::SelectProfile(const char* nameOrFile) {
    return platform::guarded("TSievra.SelectProfile", E_FAIL, [&] {
        if (!nameOrFile) return E_POINTER;
        std::string error;
        const auto profile = findProfile(nameOrFile, &error);
        if (!profile) {
            platform::reportError("TSievra.SelectProfile", (error + ".").c_str());
            return E_INVALIDARG;
        }
        m_selected = profile->settings;
        return S_OK;
    });
}

HRESULT QVX_STDCALL ProfileAccess::GetRuleListing(const char** text) {
    return platform::guarded("TSievra.GetRuleListing", E_FAIL, [&] {
        if (!text) return E_POINTER;
        m_listing = ruleListing(m_rules, runSettings());
        *text = m_listing.c_str();
        return S_OK;
    });
}

const DeliverySettings& ProfileAccess::runSettings() const {
    return m_selected ? *m_selected : m_stored;
}

std::string ruleListing(const RuleSettings& rules, const DeliverySettings& delivery) {
    std::string listing;
    const auto line = [&](std::int32_t id, bool enabled, std::int32_t type,
                          const std::string& threshold, const std::string& name) {
        listing += std::to_string(id) + '\t' + (enabled ? "on" : "off") + '\t' +
                   reportTypeName(type) + '\t' + threshold + '\t' + name + '\n';
    };
    for (std::int32_t i = 0; i < rules.count(); ++i) {
        const RuleSetting* rule = rules.getValidationSetting(i);
        line(rule->id, rule->enabled, rule->reportType, "", rule->name);
    }
    for (const DeliveryRule& rule : delivery.rules())
        line(rule.id, rule.enabled, rule.reportType, thresholdText(rule), rule.name);
    return listing;
}
