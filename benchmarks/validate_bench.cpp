// Throughput of lumtrace-validate over a folder of generated files, run as a pipeline would run
// it. Usage: validate_bench [FILES [BLOCKS]] (default 1000 files of 1000 blocks each). The
// command is taken from this program's folder; the files go to a fresh folder in /tmp that is
// removed afterwards. The rule settings start from their defaults (own config home).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/StlFileBuilder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

int runQuietly(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int blocks = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (files < 1 || blocks < 0) {
        std::fprintf(stderr, "usage: validate_bench [FILES [BLOCKS]]\n");
        return 2;
    }
    const std::string command =
        (fs::read_symlink("/proc/self/exe").parent_path() / "lumtrace-validate").string();

    char folderName[] = "/tmp/lumtrace-validate-bench-XXXXXX";
    if (!::mkdtemp(folderName)) return 2;
    const fs::path folder = folderName;
    fs::create_directory(folder / "config");
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    std::vector<std::string> paths;
    const std::vector<std::uint8_t> bytes = testsupport::StlFileBuilder().addBlocks(blocks).bytes();
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%04d.stl", i);
        paths.push_back((folder / name).string());
        std::FILE* out = std::fopen(paths.back().c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return 2;
        std::fclose(out);
    }
    std::printf("validate_bench: %d files of %d blocks (%zu bytes each) in %s\n", files, blocks,
                bytes.size(), folder.c_str());
    std::printf("  goal: 2,000 files/s for files of 1,000 blocks on 2 cores\n");

    // Files/s of the same modes with the 1 ms command handshake on one plug-in object.
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* before;
    } modes[] = {
        {"tables to /dev/null", {}, "163-168"},
        {"--quiet", {"--quiet"}, "170-174"},
        {"--quiet --xml FOLDER", {"--quiet", "--xml", (folder / "reports").string()}, "135-145"},
        {"--quiet -j 1", {"--quiet", "-j", "1"}, "170-174"},
    };
    int worst = 0;
    for (const auto& mode : modes) {
        std::vector<std::string> arguments = mode.options;
        arguments.insert(arguments.end(), paths.begin(), paths.end());
        const auto start = std::chrono::steady_clock::now();
        const int status = runQuietly(command, arguments);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "  %-22s exit %d  %8.3f s  %9.1f files/s  %12.0f blocks/s  (before: %s files/s)\n",
            mode.name, status, seconds, files / seconds, double(files) * blocks / seconds,
            mode.before);
        if (status != 0) worst = 1;
    }
    // One long file, from process start to exit.
    const std::string big = (folder / "big.stl").string();
    testsupport::StlFileBuilder().addBlocks(99999).writeTo(big);
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        runQuietly(command, {"--quiet", big});
        best = std::min(best, std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
    }
    std::printf(
        "  one file of 99,999 blocks: %.1f ms from start to exit (best of 5)  (before: "
        "461-490 ms; goal: under 60 ms)\n",
        best);
    std::error_code error;
    fs::remove_all(folder, error);
    return worst;
}
