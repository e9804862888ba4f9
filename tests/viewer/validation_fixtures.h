#pragma once
// What the validation tests share: where the real and the stand-in plug-ins are, script files
// for the stand-in, the report file read back, and a folder whose files cannot be written.

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace validationtest {

inline const std::string SIEVRA = VALIDATION_SIEVRA_FILE;

// fake_scripted, fake_noreportset, fake_noexport, fake_exportfails, fake_exportnothing.
inline std::string FakePlugin(const std::string& Variant) {
    return std::string(VALIDATION_FAKE_PLUGIN_DIR) + "/" + Variant + ".zkx";
}

// A script for the stand-in plug-in: its findings and directives, one per line.
inline std::string WriteScript(const std::string& Path, const std::vector<std::string>& Lines) {
    std::ofstream out(Path, std::ios::binary);
    for (const std::string& line : Lines) out << line << '\n';
    return Path;
}

inline std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> FolderEntries(const std::string& Folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// Lines of a report, each of which must end in CR LF; a lone CR or LF fails the split.
inline std::vector<std::string> CrLfLines(const std::string& Text, bool* WellEnded) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    *WellEnded = true;
    while (start < Text.size()) {
        const std::size_t end = Text.find("\r\n", start);
        if (end == std::string::npos) {
            *WellEnded = false;
            lines.push_back(Text.substr(start));
            break;
        }
        lines.push_back(Text.substr(start, end - start));
        if (lines.back().find_first_of("\r\n") != std::string::npos) *WellEnded = false;
        start = end + 2;
    }
    return lines;
}

// Makes Folder unwritable while the object lives. Permissions do not stop root, so then every
// file write fails instead (the file size limit drops to zero).
class UnwritableFolder {
public:
    explicit UnwritableFolder(const std::string& Folder) : folder_(Folder) {
        std::filesystem::permissions(
            folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        if (::geteuid() == 0) {
            ::getrlimit(RLIMIT_FSIZE, &old_);
            oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
            rlimit none = old_;
            none.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &none);
            limited_ = true;
        }
    }
    ~UnwritableFolder() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &old_);
            std::signal(SIGXFSZ, oldSignal_);
        }
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    std::string folder_;
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
    bool limited_ = false;
};

}  // namespace validationtest
