#include "VersionInfo.h"

#include <cstdio>
#include <cstring>

#include "VersionResource.h"

namespace {

std::string format(const char* pattern, auto... args) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

const char* pick(const char* const* names, std::size_t count, std::uint32_t index) {
    return index < count ? names[index] : "Unknown";
}

}  // namespace

const char* verNameKey(VersionNames name) {
    static constexpr const char* kKeys[] = {
        "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments",
    };
    return pick(kKeys, std::size(kKeys), static_cast<std::uint32_t>(name));
}

VersionInfo::VersionInfo(const std::string& fileName)
    : fVersionData(versionresource::readVersionBlock(fileName)) {
    load();
}

VersionInfo::VersionInfo() : VersionInfo(std::string("/proc/self/exe")) {}

VersionInfo::VersionInfo(FromData, std::vector<std::uint8_t> versionData)
    : fVersionData(std::move(versionData)) {
    load();
}

VersionInfo VersionInfo::fromVersionData(std::vector<std::uint8_t> versionData) {
    return VersionInfo(FromData{}, std::move(versionData));
}

void VersionInfo::load() {
    if (fVersionData.empty()) throw ENoVersion("No version information");
    fVerLen = static_cast<std::uint32_t>(fVersionData.size());

    const auto fixed = versionresource::queryValue(fVersionData, "\\");
    if (!fixed) throw EVersion("Error geting fixed version info");
    if (fixed->size < sizeof fFixedInfo) throw EVersion("Bad fixed version info size");
    std::memcpy(&fFixedInfo, fVersionData.data() + fixed->offset, sizeof fFixedInfo);

    const auto trans = versionresource::queryValue(fVersionData, "\\VarFileInfo\\Translation");
    if (!trans) throw EVersion("Bad translation in version info");
    fTransLen = static_cast<std::uint32_t>(trans->size);
    fTransTable.resize(fTransLen / 4);
    for (std::size_t i = 0; i < fTransTable.size(); ++i) {
        const std::uint8_t* p = fVersionData.data() + trans->offset + 4 * i;
        fTransTable[i] = {static_cast<std::uint16_t>(p[0] | (p[1] << 8)),
                          static_cast<std::uint16_t>(p[2] | (p[3] << 8))};
    }

    static constexpr std::pair<std::uint32_t, const char*> kFlags[] = {
        {0x01, "DEBUG"},        {0x04, "PATCHED"},      {0x02, "PRERELEASE"},
        {0x08, "PRIVATEBUILD"}, {0x20, "SPECIALBUILD"},
    };
    for (const auto& [bit, name] : kFlags)
        if (fFixedInfo.dwFileFlags & bit) fFileFlags.emplace_back(name);
}

std::string VersionInfo::fileVersion() const {
    if (release() != 0)
        return format("Version %d.%d.%d (build %d)", major(), minor(), release(), build());
    return format("Version %d.%d (build %d)", major(), minor(), build());
}

std::string VersionInfo::fileOs() const {
    const std::uint32_t os = fFixedInfo.dwFileOS;
    if (os == 0) return "Unknown";
    static constexpr const char* kPlatform[] = {"", "Windows16", "PM16", "PM32", "Windows32"};
    static constexpr const char* kBase[] = {"", "DOS", "OS2-16", "OS2-32", "NT"};
    const std::string platform = pick(kPlatform, std::size(kPlatform), os & 0xFFFF);
    const std::string base = pick(kBase, std::size(kBase), os >> 16);
    if (platform.empty()) return base;
    if (base.empty()) return platform;
    return platform + " (" + base + ")";
}

std::string VersionInfo::fileType() const {
    const std::uint32_t subtype = fFixedInfo.dwFileSubtype;
    switch (fFixedInfo.dwFileType) {
        case 1:
            return "Application";
        case 2:
            return "DLL";
        case 3: {
            if (subtype == 0) return "Device driver";
            static constexpr const char* kDrivers[] = {
                "",        "Printer", "Keyboard",    "Language", "Display", "Mouse",
                "Network", "System",  "Installable", "Sound",    "Comm"};
            return format("%s driver", pick(kDrivers, std::size(kDrivers), subtype));
        }
        case 4: {
            if (subtype == 0) return "Font";
            static constexpr const char* kFonts[] = {"", "Raster", "Vector", "Truetype"};
            return format("%s font", pick(kFonts, std::size(kFonts), subtype));
        }
        case 5:
            return format("Virtual device (%.8x)", subtype);
        case 7:
            return "Static-link library";
        default:
            return "Unknown";
    }
}

std::string VersionInfo::languageName() const {
    if (fLangIndex < 0 || static_cast<std::size_t>(fLangIndex) >= fTransTable.size()) return {};
    return versionresource::languageName(fTransTable[fLangIndex].language);
}

std::string VersionInfo::values(const std::string& name) const {
    if (fLangIndex < 0 || static_cast<std::size_t>(fLangIndex) >= fTransTable.size()) return {};
    const TransEntry& entry = fTransTable[fLangIndex];
    const std::string key = format("\\StringFileInfo\\%.4x%.4x\\", entry.language, entry.charSet);
    const auto value = versionresource::queryValue(fVersionData, key + name);
    return value ? versionresource::textOf(fVersionData, *value) : std::string();
}

std::string VersionInfo::value(VersionNames name) const {
    return values(verNameKey(name));
}
