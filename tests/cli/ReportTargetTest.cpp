// What --xml does when the report's path is not a plain file: a link is followed and stays, and
// anything else that is not a regular file is refused without being touched.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

class ReportTargetTest : public CliTest {
protected:
    ProcessResult validateInto(const std::string& report) {
        return runProcess(VALIDATE, {"-q", "--xml", report, cleanFile()});
    }

    void expectRefused(const std::string& report, const ProcessResult& run) {
        EXPECT_EQ(run.exitStatus, 2) << run.err;
        EXPECT_EQ(run.err, "lumtrace-validate: cannot write the report '" + report +
                               "': not a regular file\n");
        for (const auto& entry : fs::directory_iterator(fs::path(report).parent_path()))
            EXPECT_EQ(entry.path().filename().string().find(".xml."), std::string::npos)
                << "temporary left: " << entry.path();
    }
};

TEST_F(ReportTargetTest, LinkedReportReplacesTheLinkedFileAndTheLinkStays) {
    const std::string target = dir.file("real.xml");
    std::ofstream(target) << "old";
    for (const std::string& link : {dir.file("absolute.xml"), dir.file("relative.xml")}) {
        fs::create_symlink(link == dir.file("absolute.xml") ? target : "real.xml", link);
        const ProcessResult run = validateInto(link);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_TRUE(readFile(target).starts_with("<?xml")) << link;
    }
    // A dangling link gets the file it names.
    fs::create_symlink("later.xml", dir.file("dangling.xml"));
    EXPECT_EQ(validateInto(dir.file("dangling.xml")).exitStatus, 0);
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling.xml")));
    EXPECT_TRUE(readFile(dir.file("later.xml")).starts_with("<?xml"));
}

TEST_F(ReportTargetTest, FifoFolderSocketAndDeviceAreRefusedUntouched) {
    const std::string fifo = dir.file("fifo.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectRefused(fifo, validateInto(fifo));
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A folder that is the report of one of several files (a lone folder takes the report).
    const std::string folder = dir.file("out");
    fs::create_directories(folder + "/clean.xml/inside");
    const std::string report = folder + "/clean.xml";
    const ProcessResult run = runProcess(VALIDATE, {"-q", "--xml", folder, cleanFile()});
    expectRefused(report, run);
    EXPECT_TRUE(fs::is_directory(report + "/inside"));

    // A link to a FIFO is refused as the FIFO is.
    fs::create_symlink(fifo, dir.file("tofifo.xml"));
    const ProcessResult linked = validateInto(dir.file("tofifo.xml"));
    EXPECT_EQ(linked.exitStatus, 2);
    EXPECT_TRUE(fs::is_symlink(dir.file("tofifo.xml")));
    EXPECT_TRUE(fs::is_fifo(fifo));

    const std::string socketPath = dir.file("sock.xml");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    expectRefused(socketPath, validateInto(socketPath));
    EXPECT_TRUE(fs::is_socket(socketPath));
    ::close(sock);

    // A device node only where this test may make one in its own folder (never a real one).
    const std::string device = dir.file("null.xml");
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        expectRefused(device, validateInto(device));
        EXPECT_TRUE(fs::is_character_file(device));
    }
}

}  // namespace
}  // namespace clitest
