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
inline std::string fakePlugin(const std::string& variant) {
    return std::string(VALIDATION_FAKE_PLUGIN_DIR) + "/" + variant + ".zkx";
}

// A script for the stand-in plug-in: its findings and directives, one per line.
inline std::string writeScript(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) out << line << '\n';
    return path;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// Lines of a report, each of which must end in CR LF; a lone CR or LF fails the split.
inline std::vector<std::string> crLfLines(const std::string& text, bool* wellEnded) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    *wellEnded = true;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            *wellEnded = false;
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        if (lines.back().find_first_of("\r\n") != std::string::npos) *wellEnded = false;
        start = end + 2;
    }
    return lines;
}

// Makes Folder unwritable while the object lives. Permissions do not stop root, so then every
// file write fails instead (the file size limit drops to zero).
class UnwritableFolder {
public:
    explicit UnwritableFolder(const std::string& folder) : m_folder(folder) {
        std::filesystem::permissions(
            m_folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        if (::geteuid() == 0) {
            ::getrlimit(RLIMIT_FSIZE, &m_old);
            m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
            rlimit none = m_old;
            none.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &none);
            m_limited = true;
        }
    }
    ~UnwritableFolder() {
        if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_old);
            std::signal(SIGXFSZ, m_oldSignal);
        }
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    std::string m_folder;
    rlimit m_old{};
    void (*m_oldSignal)(int) = nullptr;
    bool m_limited = false;
};

}  // namespace validationtest
