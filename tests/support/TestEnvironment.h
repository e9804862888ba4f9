#pragma once
// A private temporary folder per test, XDG_CONFIG_HOME pointed into it, and a capture of every
// diagnostic line written while the object lives.

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points XDG_CONFIG_HOME at a fresh folder (so the registry store starts empty) and restores it.
class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();
    const std::string& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
    std::string m_old;
    bool m_hadOld = false;
};

class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    std::vector<std::string> lines() const;
    bool contains(const std::string& line) const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}  // namespace testsupport
