#pragma once
// Read-only view of the version block of a program or library file: the fixed file
// information, the translation table and the string values of the first translation.
// Qt-free, so command-line tools and tests can use it too.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The platform's 52-byte fixed file information record.
struct VsFixedFileInfo {
    std::uint32_t dwSignature;
    std::uint32_t dwStrucVersion;
    std::uint32_t dwFileVersionMS;
    std::uint32_t dwFileVersionLS;
    std::uint32_t dwProductVersionMS;
    std::uint32_t dwProductVersionLS;
    std::uint32_t dwFileFlagsMask;
    std::uint32_t dwFileFlags;
    std::uint32_t dwFileOS;
    std::uint32_t dwFileType;
    std::uint32_t dwFileSubtype;
    std::uint32_t dwFileDateMS;
    std::uint32_t dwFileDateLS;
};
static_assert(sizeof(VsFixedFileInfo) == 52);

struct TransEntry {
    std::uint16_t language;
    std::uint16_t charSet;
};

enum class VersionNames {
    verCompanyName,
    verFileDescription,
    verFileVersion,
    verInternalName,
    verLegalCopyright,
    verLegalTrademarks,
    verOriginalFilename,
    verProductName,
    verProductVersion,
    verComments,
};

// The key of a standard string value ("CompanyName" ...).
const char* verNameKey(VersionNames name);

// The file has no usable version block.
class ENoVersion : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The version block is malformed.
class EVersion : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VersionInfo {
public:
    // Reads the block of the named file; throws ENoVersion or EVersion.
    explicit VersionInfo(const std::string& fileName);
    // The same for the running program's own file.
    VersionInfo();
    // From a block already in memory (for blocks that come from elsewhere, and for tests).
    static VersionInfo fromVersionData(std::vector<std::uint8_t> versionData);

    const VsFixedFileInfo& fixedInfo() const { return fFixedInfo; }
    const std::vector<std::string>& fileFlags() const { return fFileFlags; }
    std::string fileVersion() const;
    std::string fileOs() const;
    std::string fileType() const;
    std::string languageName() const;
    int numLanguages() const { return static_cast<int>(fTransLen / 4); }
    const std::vector<TransEntry>& transTable() const { return fTransTable; }
    std::string value(VersionNames name) const;
    std::string values(const std::string& name) const;

    // The four numbers of the file version.
    std::uint16_t major() const { return fFixedInfo.dwFileVersionMS >> 16; }
    std::uint16_t minor() const { return fFixedInfo.dwFileVersionMS & 0xFFFF; }
    std::uint16_t release() const { return fFixedInfo.dwFileVersionLS >> 16; }
    std::uint16_t build() const { return fFixedInfo.dwFileVersionLS & 0xFFFF; }

private:
    struct FromData {};
    VersionInfo(FromData, std::vector<std::uint8_t> versionData);
    void load();

    std::vector<std::uint8_t> fVersionData;
    std::uint32_t fVerLen = 0;
    // Copied out of fVersionData: the block gives no alignment guarantee for direct access.
    VsFixedFileInfo fFixedInfo{};
    std::vector<TransEntry> fTransTable;
    std::uint32_t fTransLen = 0;
    std::int32_t fLangIndex = 0;
    std::vector<std::string> fFileFlags;
};
