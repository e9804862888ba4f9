#pragma once
// Read-only view of the version block of a program or library file: the fixed file
// information, the translation table and the string values of the first translation.
// Qt-free, so command-line tools and tests can use it too.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The platform's 52-byte fixed file information record.
struct TVSFixedFileInfo {
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
static_assert(sizeof(TVSFixedFileInfo) == 52);

struct TTransEntry {
    std::uint16_t Language;
    std::uint16_t CharSet;
};

enum class TVerNames {
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
const char* VerNameKey(TVerNames name);

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

class TVersionInfo {
public:
    // Reads the block of the named file; throws ENoVersion or EVersion.
    explicit TVersionInfo(const std::string& FileName);
    // The same for the running program's own file.
    TVersionInfo();
    // From a block already in memory (for blocks that come from elsewhere, and for tests).
    static TVersionInfo FromVersionData(std::vector<std::uint8_t> versionData);

    const TVSFixedFileInfo& FixedInfo() const { return fFixedInfo; }
    const std::vector<std::string>& FileFlags() const { return fFileFlags; }
    std::string FileVersion() const;
    std::string FileOS() const;
    std::string FileType() const;
    std::string LanguageName() const;
    int NumLanguages() const { return static_cast<int>(fTransLen / 4); }
    const std::vector<TTransEntry>& TransTable() const { return fTransTable; }
    std::string Value(TVerNames name) const;
    std::string Values(const std::string& name) const;

    // The four numbers of the file version.
    std::uint16_t Major() const { return fFixedInfo.dwFileVersionMS >> 16; }
    std::uint16_t Minor() const { return fFixedInfo.dwFileVersionMS & 0xFFFF; }
    std::uint16_t Release() const { return fFixedInfo.dwFileVersionLS >> 16; }
    std::uint16_t Build() const { return fFixedInfo.dwFileVersionLS & 0xFFFF; }

private:
    struct FromData {};
    TVersionInfo(FromData, std::vector<std::uint8_t> versionData);
    void Load();

    std::vector<std::uint8_t> fVersionData;
    std::uint32_t fVerLen = 0;
    // Copied out of fVersionData: the block gives no alignment guarantee for direct access.
    TVSFixedFileInfo fFixedInfo{};
    std::vector<TTransEntry> fTransTable;
    std::uint32_t fTransLen = 0;
    std::int32_t fLangIndex = 0;
    std::vector<std::string> fFileFlags;
};
