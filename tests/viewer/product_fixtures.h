#pragma once
// Fixtures of the product tests: program files with a version block of the test's choosing, and
// a local HTTP server publishing a version file.

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VersionBlockWriter.h"
#include "tests/support/TestEnvironment.h"

namespace producttest {

// A version block with US English / Unicode strings, as the build writes it.
versionblock::Bytes versionBlockFor(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                                    std::uint16_t build);

// A minimal PE32 file whose resource directory holds an icon entry and then the given block as
// RT_VERSION, name 1, language 0x0409.
versionblock::Bytes peWithVersionResource(const versionblock::Bytes& block);

void writeFile(const std::string& path, const versionblock::Bytes& bytes);

// A program file named Lumtrace.exe in a folder of its own, whose version block says the given
// version.
struct RunningProgram {
    RunningProgram(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                   std::uint16_t build);
    testsupport::TempDir dir;
    std::string path;
};

// Serves /download/ver.txt on 127.0.0.1 with the body and status set by the test, and records
// the agent string of the last request.
class VersionFileServer {
public:
    VersionFileServer();
    ~VersionFileServer();
    void publish(std::string body, int status = 200);
    std::string url() const;
    std::string lastAgent() const;
    int requests() const { return m_requests.load(); }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::string m_body;
    int m_status = 200;
    std::string m_agent;
    std::atomic<int> m_requests{0};
};

// A listening socket that never accepts: connections complete, no answer ever comes.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    std::string url() const;

private:
    int m_socket = -1;
    int m_port = 0;
};

// An address on 127.0.0.1 where nothing listens.
std::string refusedUrl();

}  // namespace producttest
