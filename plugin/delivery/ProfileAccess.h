#pragma once
// The plug-in object's IQuorvexProfile, a part of the same object: it shares the object's
// reference count and identity. A selected profile replaces the stored delivery settings for the
// object's runs only; the stored ones stay as they are and are never written because of it.

#include <optional>
#include <string>

#include "DeliveryRules.h"
#include "plugin_api/QuorvexProfileInterface.h"

class RuleSettings;

class ProfileAccess final : public IQuorvexProfile {
public:
    ProfileAccess(IUnknown& owner, const RuleSettings& rules, const DeliverySettings& stored);

    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) override;
    std::uint32_t QVX_STDCALL AddRef() override;
    std::uint32_t QVX_STDCALL Release() override;
    HRESULT QVX_STDCALL SelectProfile(const char* nameOrFile) override;
    HRESULT QVX_STDCALL GetRuleListing(const char** text) override;

    // What a run uses: the selected profile's settings, else the stored ones.
    const DeliverySettings& runSettings() const;

private:
    IUnknown& m_owner;
    const RuleSettings& m_rules;
    const DeliverySettings& m_stored;
    std::optional<DeliverySettings> m_selected;
    std::string m_listing;
};

// The listing GetRuleListing gives, for the described rules and the delivery rules.
std::string ruleListing(const RuleSettings& rules, const DeliverySettings& delivery);
