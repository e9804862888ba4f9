#include "product_fixtures.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>

namespace producttest {

namespace {

void put16(versionblock::Bytes& out, std::size_t at, std::uint32_t v) {
    if (out.size() < at + 2) out.resize(at + 2);
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(versionblock::Bytes& out, std::size_t at, std::uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

// A bound socket on 127.0.0.1 with a port chosen by the system.
int boundSocket(int& port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(s);
        throw std::runtime_error("bind");
    }
    port = ntohs(address.sin_port);
    return s;
}

std::string urlFor(int port) {
    return "http://127.0.0.1:" + std::to_string(port) + "/download/ver.txt";
}

}  // namespace

versionblock::Bytes versionBlockFor(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                                    std::uint16_t build) {
    versionblock::FixedInfo fixed;
    fixed.major = major, fixed.minor = minor, fixed.release = release, fixed.build = build;
    return versionblock::versionBlock(fixed, {{0x0409, 1200}},
                                      {{"CompanyName", "Vantorel"}, {"ProductName", "Lumtrace"}});
}

versionblock::Bytes peWithVersionResource(const versionblock::Bytes& block) {
    constexpr std::uint32_t peAt = 0x40, sectionRva = 0x1000, sectionFile = 0x200;
    constexpr std::uint32_t optionalSize = 224;
    versionblock::Bytes pe(sectionFile, 0);
    put16(pe, 0, 0x5A4D);  // "MZ"
    put32(pe, 0x3C, peAt);
    put32(pe, peAt, 0x00004550);  // "PE\0\0"
    const std::size_t coff = peAt + 4;
    put16(pe, coff, 0x014C);  // i386
    put16(pe, coff + 2, 1);   // one section
    put16(pe, coff + 16, optionalSize);
    const std::size_t optional = coff + 20;
    put16(pe, optional, 0x10B);    // PE32
    put32(pe, optional + 92, 16);  // data directories

    // Resource tree: root (icon, version) -> name 1 -> language 0x0409 -> data entry -> block.
    versionblock::Bytes rsrc(0x78, 0);
    put16(rsrc, 14, 2);
    put32(rsrc, 16, 3);  // RT_ICON first, so the lookup has to pick by id
    put32(rsrc, 20, 0x80000000u | 0x28);
    put32(rsrc, 24, 16);  // RT_VERSION
    put32(rsrc, 28, 0x80000000u | 0x28);
    put16(rsrc, 0x28 + 14, 1);
    put32(rsrc, 0x28 + 16, 1);
    put32(rsrc, 0x28 + 20, 0x80000000u | 0x40);
    put16(rsrc, 0x40 + 14, 1);
    put32(rsrc, 0x40 + 16, 0x0409);
    put32(rsrc, 0x40 + 20, 0x58);
    put32(rsrc, 0x58, sectionRva + 0x78);
    put32(rsrc, 0x5C, static_cast<std::uint32_t>(block.size()));
    rsrc.insert(rsrc.end(), block.begin(), block.end());
    const auto rsrcSize = static_cast<std::uint32_t>(rsrc.size());

    put32(pe, optional + 96 + 2 * 8, sectionRva);
    put32(pe, optional + 96 + 2 * 8 + 4, rsrcSize);
    const std::size_t section = optional + optionalSize;
    const char name[8] = ".rsrc";
    for (int i = 0; i < 8; ++i) pe[section + i] = static_cast<std::uint8_t>(name[i]);
    put32(pe, section + 8, rsrcSize);
    put32(pe, section + 12, sectionRva);
    put32(pe, section + 16, rsrcSize);
    put32(pe, section + 20, sectionFile);
    pe.insert(pe.end(), rsrc.begin(), rsrc.end());
    return pe;
}

void writeFile(const std::string& path, const versionblock::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

RunningProgram::RunningProgram(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                               std::uint16_t build)
    : path(dir.file("Lumtrace.exe")) {
    writeFile(path, peWithVersionResource(versionBlockFor(major, minor, release, build)));
}

VersionFileServer::VersionFileServer() {
    m_server.Get("/download/ver.txt",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     std::lock_guard lock(m_mutex);
                     m_agent = request.get_header_value("User-Agent");
                     response.status = m_status;
                     response.set_content(m_body, "text/plain");
                     ++m_requests;
                 });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0) throw std::runtime_error("cannot bind the test server");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // Stopping a server that has not started listening yet would leave its thread behind.
    while (!m_server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

VersionFileServer::~VersionFileServer() {
    m_server.stop();
    m_thread.join();
}

void VersionFileServer::publish(std::string body, int status) {
    std::lock_guard lock(m_mutex);
    m_body = std::move(body);
    m_status = status;
}

std::string VersionFileServer::url() const {
    return urlFor(m_port);
}

std::string VersionFileServer::lastAgent() const {
    std::lock_guard lock(m_mutex);
    return m_agent;
}

SilentServer::SilentServer() {
    m_socket = boundSocket(m_port);
    if (::listen(m_socket, 8) != 0) {
        ::close(m_socket);
        throw std::runtime_error("listen");
    }
}

SilentServer::~SilentServer() {
    ::close(m_socket);
}

std::string SilentServer::url() const {
    return urlFor(m_port);
}

std::string refusedUrl() {
    int port = 0;
    ::close(boundSocket(port));  // bound once, never listened on: connections are refused
    return urlFor(port);
}

}  // namespace producttest
