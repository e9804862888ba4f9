#include "ValidationSettings.h"

#include <cstdio>
#include <mutex>
#include <optional>

#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace {

constexpr std::size_t MAX_SETTING_TEXT = 255;

std::string EnabledValueName(std::int32_t ID) {
    return std::to_string(ID) + "_Enabled";
}
std::string TypeValueName(std::int32_t ID) {
    return std::to_string(ID) + "_Type";
}

// Open (creating) the key below HKEY_CURRENT_USER; a trailing separator names the same key.
std::optional<platform::RegistryKey> OpenSettingsKey(std::string KeyPath) {
    while (!KeyPath.empty() && KeyPath.back() == '\\') KeyPath.pop_back();
    return platform::RegistryKey::open(KeyPath, true);
}

// "[402] ", "[007] ", "[-005] ": at least three digits.
std::string ValidationPrefix(std::int32_t ValidationID) {
    char Buffer[24];
    std::snprintf(Buffer, sizeof Buffer, "[%.3d] ", static_cast<int>(ValidationID));
    return Buffer;
}

}  // namespace

TValidationSettingList::TValidationSettingList() = default;

TValidationSettingList::~TValidationSettingList() {
    platform::guardedVoid("TValidationSettingList.Destroy", [&] {
        FItems.clear();
        if (FQuorvexReport) {
            IQuorvexReport* Sink = FQuorvexReport;
            FQuorvexReport = nullptr;
            Sink->Release();
        }
    });
}

bool TValidationSettingList::AddItem(const TValidationSetting& Setting) {
    return platform::guarded("TValidationSettingList.AddItem", false, [&] {
        auto Item = std::make_unique<TValidationSetting>(Setting);
        if (Item->Name.size() > MAX_SETTING_TEXT) Item->Name.resize(MAX_SETTING_TEXT);
        if (Item->Description.size() > MAX_SETTING_TEXT) Item->Description.resize(MAX_SETTING_TEXT);
        FItems.push_back(std::move(Item));
        return true;
    });
}

void TValidationSettingList::ClearValidationSettingList() {
    platform::guardedVoid("TValidationSettingList.ClearValidationSettingList",
                          [&] { FItems.clear(); });
}

bool TValidationSettingList::AssignValidationSettingList(const TValidationSettingList& Source) {
    return platform::guarded("TValidationSettingList.AssignValidationSettingList", false, [&] {
        if (&Source == this) return true;
        // Build the copies first so a failure leaves this list as it was.
        std::vector<std::unique_ptr<TValidationSetting>> Copies;
        Copies.reserve(Source.FItems.size());
        for (const auto& Item : Source.FItems)
            Copies.push_back(std::make_unique<TValidationSetting>(*Item));
        FItems = std::move(Copies);
        return true;
    });
}

std::int32_t TValidationSettingList::Count() const {
    return static_cast<std::int32_t>(FItems.size());
}

TValidationSetting* TValidationSettingList::GetValidationSetting(std::int32_t Index) const {
    return platform::guarded("TValidationSettingList.GetValidationSetting",
                             static_cast<TValidationSetting*>(nullptr),
                             [&]() -> TValidationSetting* {
                                 if (Index < 0 || Index >= Count()) return nullptr;
                                 return FItems[static_cast<std::size_t>(Index)].get();
                             });
}

TValidationSetting* TValidationSettingList::GetValidationSettingFromID(std::int32_t ID) const {
    return platform::guarded("TValidationSettingList.GetValidationSettingFromID",
                             static_cast<TValidationSetting*>(nullptr),
                             [&]() -> TValidationSetting* {
                                 for (const auto& Item : FItems)
                                     if (Item->ID == ID) return Item.get();
                                 return nullptr;
                             });
}

bool TValidationSettingList::LoadFromRegistry(const std::string& KeyPath) {
    return platform::guarded("TValidationSettingList.LoadFromRegistry", false, [&] {
        auto Key = OpenSettingsKey(KeyPath);
        if (!Key) return true;

        // Missing or wrongly typed values get the current setting written back. All such writes
        // go out as one batch; should it fail, the settings end up as if the first of those
        // writes had failed on its own: nothing visited after it is taken from the registry.
        struct Snapshot {
            bool Enabled;
            std::int32_t ReportType;
        };
        std::vector<Snapshot> Before;
        Before.reserve(FItems.size());
        for (const auto& Item : FItems) Before.push_back({Item->Enabled, Item->ReportType});

        std::vector<std::pair<std::string, platform::RegValue>> Writes;
        std::size_t FirstWriteIndex = 0;
        bool FirstWriteIsEnabled = false;
        for (std::size_t i = 0; i < FItems.size(); ++i) {
            TValidationSetting& Setting = *FItems[i];
            std::uint32_t Value = 0;
            if (Setting.EnabledEditable) {
                const std::string Name = EnabledValueName(Setting.ID);
                if (Key->readDWord(Name, Value)) {
                    Setting.Enabled = Value != 0;
                } else {
                    if (Writes.empty()) FirstWriteIndex = i, FirstWriteIsEnabled = true;
                    Writes.emplace_back(Name,
                                        platform::RegValue::fromDWord(Setting.Enabled ? 1u : 0u));
                }
            }
            if (Setting.ReportTypeEditable) {
                const std::string Name = TypeValueName(Setting.ID);
                if (Key->readDWord(Name, Value)) {
                    Setting.ReportType = static_cast<std::int32_t>(Value);
                } else {
                    if (Writes.empty()) FirstWriteIndex = i, FirstWriteIsEnabled = false;
                    Writes.emplace_back(Name, platform::RegValue::fromDWord(
                                                  static_cast<std::uint32_t>(Setting.ReportType)));
                }
            }
        }
        if (Writes.empty() || Key->writeMany(Writes)) return true;

        if (FirstWriteIsEnabled)
            FItems[FirstWriteIndex]->ReportType = Before[FirstWriteIndex].ReportType;
        for (std::size_t i = FirstWriteIndex + 1; i < FItems.size(); ++i) {
            FItems[i]->Enabled = Before[i].Enabled;
            FItems[i]->ReportType = Before[i].ReportType;
        }
        platform::reportFailure("TValidationSettingList.LoadFromRegistry");
        return false;
    });
}

bool TValidationSettingList::SaveToRegistry(const std::string& KeyPath) {
    return platform::guarded("TValidationSettingList.SaveToRegistry", false, [&] {
        auto Key = OpenSettingsKey(KeyPath);
        if (!Key) return true;
        std::vector<std::pair<std::string, platform::RegValue>> Writes;
        Writes.reserve(FItems.size() * 2);
        for (const auto& Item : FItems) {
            Writes.emplace_back(EnabledValueName(Item->ID),
                                platform::RegValue::fromDWord(Item->Enabled ? 1u : 0u));
            Writes.emplace_back(
                TypeValueName(Item->ID),
                platform::RegValue::fromDWord(static_cast<std::uint32_t>(Item->ReportType)));
        }
        if (Key->writeMany(Writes)) return true;
        platform::reportFailure("TValidationSettingList.SaveToRegistry");
        return false;
    });
}

HRESULT TValidationSettingList::SetQuorvexReport(IQuorvexReport* Report) {
    return platform::guarded("TValidationSettingList.SetQuorvexReport", E_FAIL, [&] {
        if (!Report) {
            platform::reportFailure("TValidationSettingList.SetQuorvexReport");
            return E_INVALIDARG;
        }
        Report->AddRef();
        IQuorvexReport* Previous = nullptr;
        {
            std::unique_lock Lock(FSinkLock);
            Previous = FQuorvexReport;
            FQuorvexReport = Report;
        }
        if (Previous) Previous->Release();
        return S_OK;
    });
}

HRESULT TValidationSettingList::Report(std::int32_t Module, std::int32_t ReportType,
                                       const std::string& ReportMessage,
                                       std::int32_t ValidationID) {
    return platform::guarded("TValidationSettingList.Report", E_FAIL, [&] {
        std::shared_lock Lock(FSinkLock);
        if (!FQuorvexReport) return E_FAIL;
        const std::string Text = ValidationPrefix(ValidationID) + ReportMessage;
        const TValidationSetting* Setting = GetValidationSettingFromID(ValidationID);
        if (!Setting) return FQuorvexReport->Report(Module, ReportType, Text.c_str());
        if (!Setting->Enabled) return S_OK;
        return FQuorvexReport->Report(Module, Setting->ReportType, Text.c_str());
    });
}
