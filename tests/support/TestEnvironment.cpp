#include "TestEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/DebugOutput.h"

namespace testsupport {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "lumtrace-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

ScopedConfigHome::ScopedConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        m_old = old;
        m_hadOld = true;
    }
    setenv("XDG_CONFIG_HOME", m_dir.path().c_str(), 1);
}

ScopedConfigHome::~ScopedConfigHome() {
    if (m_hadOld)
        setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

DebugCapture::DebugCapture() {
    platform::setDebugSink([this](const std::string& line) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    });
}

DebugCapture::~DebugCapture() {
    platform::setDebugSink({});
}

std::vector<std::string> DebugCapture::lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

bool DebugCapture::contains(const std::string& line) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
}

void DebugCapture::clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

}  // namespace testsupport
