// The launcher passes desktop-file-validate, and the file type tells a subtitle file from a 3D
// model by its content, although both are called *.stl.

#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(DesktopFilesTest, LauncherPassesDesktopFileValidate) {
    if (!onPath("desktop-file-validate")) GTEST_SKIP() << "desktop-file-utils is not installed";
    const auto result = clitest::runProcess(
        "/bin/sh", {"-c", "desktop-file-validate \"$0\"", SOURCE_TREE "/desktop/lumtrace.desktop"});
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_EQ(result.out + result.err, "");
}

TEST(DesktopFilesTest, SubtitleFilesAreToldFromModelsByContent) {
    // One database as an installation builds it: the system's types and this one merged by
    // update-mime-database, so the *.stl globs of both meet.
    const std::string system = "/usr/share/mime/packages/freedesktop.org.xml";
    if (!onPath("update-mime-database") || !fs::exists(system))
        GTEST_SKIP() << "shared-mime-info is not installed";
    testsupport::TempDir data;
    fs::create_directories(data.file("mime/packages"));
    fs::copy_file(system, data.file("mime/packages/freedesktop.org.xml"));
    fs::copy_file(SOURCE_TREE "/desktop/lumtrace-mime.xml",
                  data.file("mime/packages/lumtrace.xml"));
    const auto update =
        clitest::runProcess("/bin/sh", {"-c", "update-mime-database \"$0\"", data.file("mime")});
    ASSERT_EQ(update.exitStatus, 0) << update.err;
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    ::setenv("XDG_DATA_DIRS", data.path().c_str(), 1);

    testsupport::TempDir dir;
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.file(name), std::ios::binary) << bytes;
        return dir.file(name);
    };
    auto subtitle = [&](const std::string& name, const std::string& code) {
        return testsupport::StlFileBuilder()
            .gsi(gsi::diskFormatCode, code)
            .addBlocks(1)
            .writeTo(dir.file(name));
    };
    std::string binaryModel(80, '\0');
    binaryModel += std::string("\x01\0\0\0", 4) + std::string(50, '\0');

    const std::string ebu = "application/x-ebu-stl";
    struct Case {
        std::string path;
        std::string type;  // empty: anything but the subtitle type
    };
    const Case cases[] = {
        {subtitle("film.stl", "STL25.01"), ebu},
        {subtitle("FILM.STL", "STL30.01"), ebu},
        {subtitle("a.stl", "STL23.01"), ebu},
        {subtitle("b.stl", "STL24.01"), ebu},
        {subtitle("c.stl", "STL29.01"), ebu},
        {subtitle("d.stl", "STL50.01"), ebu},
        {subtitle("no-extension", "STL25.01"), ebu},
        {write("cube.stl", "solid cube\n facet normal 0 0 1\n  outer loop\nendsolid cube\n"), ""},
        {write("part.STL", binaryModel), ""},
        // The frame rate code alone, somewhere else, is no subtitle file.
        {write("notes.stl", "STL25.01 is the 25 fps code\n"), ""},
    };
    QMimeDatabase db;
    for (const Case& c : cases) {
        const QString type = db.mimeTypeForFile(QString::fromStdString(c.path)).name();
        if (c.type.empty())
            EXPECT_NE(type.toStdString(), ebu) << c.path;
        else
            EXPECT_EQ(type.toStdString(), c.type) << c.path;
    }
}

}  // namespace
