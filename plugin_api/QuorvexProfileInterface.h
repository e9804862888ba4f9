#pragma once
// An optional interface of a plug-in object for delivery profiles. A host asks for it with
// QueryInterface; an older host never does, and an older plug-in answers E_NOINTERFACE.

#include "QuorvexControlInterface.h"

constexpr GUID iidIQuorvexProfile = {
    0x5B1E2C7A, 0x84D3, 0x4F0B, {0x9E, 0x61, 0x27, 0xC4, 0x0A, 0xD5, 0x3B, 0x98}};

// Slots 0-2 from IUnknown.
class IQuorvexProfile : public IUnknown {
public:
    // A shipped profile's short name or a profile file's path. It applies to this object's runs
    // only and is never stored. E_INVALIDARG for an unknown name or an unreadable file.
    virtual HRESULT QVX_STDCALL SelectProfile(const char* NameOrFile) = 0;  // 3
    // Every rule as a run would use it, one line each: ID, "on"/"off", type name, threshold,
    // name, separated by tabs. The text stays valid until the next call or the object's end.
    virtual HRESULT QVX_STDCALL GetRuleListing(const char** Text) = 0;  // 4
};
static_assert(sizeof(IQuorvexProfile) == sizeof(void*));
