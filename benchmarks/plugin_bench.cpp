// Validation speed of Sievra.zkx, driven as the host drives it: dlopen, the export, the vtables.
// Prints the time from Play to progress 100 for a generated 99,999-block file, once clean and
// once with findings in every block, and the findings per second the sink received.
// Usage: sievra_bench [RUNS [BLOCKS]] (default 5 runs of 99999 blocks). The module is taken from
// this program's folder; the rule settings start from their defaults (own config home).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Keeps every finding, as the validation window does.
class CollectingSink final : public IQuorvexReport {
public:
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = riid == IID_IUnknown || riid == IID_IQuorvexReport ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    std::uint32_t QVX_STDCALL AddRef() override { return 2; }
    std::uint32_t QVX_STDCALL Release() override { return 1; }
    HRESULT QVX_STDCALL Report(std::int32_t, std::int32_t, const char* Message) override {
        std::lock_guard lock(mutex_);
        findings_.emplace_back(Message);
        return S_OK;
    }
    std::size_t take() {
        std::lock_guard lock(mutex_);
        const std::size_t n = findings_.size();
        findings_.clear();
        return n;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> findings_;
};

// Subtitle numbers 1, 2, ... wrap after 65535, so a file of more blocks than that necessarily
// repeats numbers (rule 425); everything else in the clean file is valid.
std::string MakeFile(const std::string& Path, int Blocks, bool FindingsInEveryBlock) {
    testsupport::StlFileBuilder File;
    for (int i = 0; i < Blocks; ++i) {
        testsupport::StlFileBuilder::Block Block;
        Block.number = static_cast<std::uint16_t>(i + 1);
        const int Seconds = i * 4 / 5;  // under 23 hours for 99,999 blocks
        Block.in[0] = static_cast<std::uint8_t>(Seconds / 3600);
        Block.in[1] = static_cast<std::uint8_t>(Seconds / 60 % 60);
        Block.in[2] = static_cast<std::uint8_t>(Seconds % 60);
        std::copy(Block.in, Block.in + 4, Block.out);
        Block.out[3] = 10;
        if (FindingsInEveryBlock) {
            Block.cumulative = 5;  // 427
            Block.vertical = 120;  // 438
            Block.comment = 4;     // 440
        }
        File.addBlock(Block);
    }
    File.announce(Blocks);
    File.gsi(gsi::TotalNumberOfSubtitles, std::to_string(Blocks));
    return File.writeTo(Path);
}

struct Measurement {
    double Milliseconds = 0;
    double CpuMilliseconds = 0;  // of the whole process: tells the run from a busy machine
    std::size_t Findings = 0;
};

double ProcessCpuMilliseconds() {
    timespec Now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
    return Now.tv_sec * 1e3 + Now.tv_nsec / 1e6;
}

// One Load, Play ... progress 100, Stop, Unload; the time runs from Play to progress 100 and the
// findings are those the run itself sent.
bool MeasureRun(IQuorvexControl* Control, CollectingSink& Sink, const std::string& File,
                Measurement& Out) {
    if (Control->LoadFile(File.c_str()) != S_OK) return false;
    Sink.take();
    const double cpuStart = ProcessCpuMilliseconds();
    const Clock::time_point start = Clock::now();
    if (Control->Play() != S_OK) return false;
    for (;;) {
        double progress = 0;
        if (Control->GetProgress(&progress) != S_OK) return false;
        if (progress >= 100.0) break;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    const Clock::time_point end = Clock::now();
    Out.Milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    Out.CpuMilliseconds = ProcessCpuMilliseconds() - cpuStart;
    Out.Findings = Sink.take();
    Control->Stop();
    Control->UnloadFile();
    Sink.take();
    return true;
}

void Print(const char* Name, std::vector<Measurement> Runs) {
    std::sort(Runs.begin(), Runs.end(), [](const Measurement& a, const Measurement& b) {
        return a.Milliseconds < b.Milliseconds;
    });
    const Measurement& median = Runs[Runs.size() / 2];
    std::printf(
        "%-9s min %7.1f ms  median %7.1f ms (cpu %7.1f ms)  findings %6zu  %9.0f findings/s\n",
        Name, Runs.front().Milliseconds, median.Milliseconds, median.CpuMilliseconds,
        median.Findings,
        median.Milliseconds > 0 ? median.Findings * 1000.0 / median.Milliseconds : 0.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int blocks = argc > 2 ? std::atoi(argv[2]) : 99999;
    if (runs < 1 || blocks < 0 || blocks > 99999) {
        std::fprintf(stderr, "usage: sievra_bench [RUNS [BLOCKS]] (BLOCKS at most 99999)\n");
        return 2;
    }
    testsupport::ScopedConfigHome config;  // never the user's own settings
    testsupport::TempDir dir;

    const std::string path =
        (fs::read_symlink("/proc/self/exe").parent_path() / "Sievra.zkx").string();
    platform::DynamicLibrary library;
    if (!library.load(path)) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), library.lastError().c_str());
        return 2;
    }
    auto create = reinterpret_cast<TGetQuorvexControl>(library.symbol(GET_QUORVEX_CONTROL_NAME));
    IQuorvexControl* control = nullptr;
    if (!create || create(&control) != 0 || !control) {
        std::fprintf(stderr, "no control interface from %s\n", path.c_str());
        return 2;
    }
    CollectingSink sink;
    void* out = nullptr;
    if (control->QueryInterface(IID_IQuorvexReportSet, &out) != S_OK) return 2;
    auto* reportSet = static_cast<IQuorvexReportSet*>(out);
    reportSet->SetQuorvexReport(&sink);
    reportSet->Release();

    const std::string clean = MakeFile(dir.file("clean.stl"), blocks, false);
    const std::string faulty = MakeFile(dir.file("findings.stl"), blocks, true);
    std::printf("Sievra.zkx, %d blocks, %d runs each; time from Play to progress 100\n", blocks,
                runs);
    int status = 0;
    for (const auto& [name, file] : {std::pair{"clean", clean}, std::pair{"findings", faulty}}) {
        std::vector<Measurement> measured;
        for (int i = 0; i < runs; ++i) {
            Measurement m;
            if (!MeasureRun(control, sink, file, m)) {
                std::fprintf(stderr, "%s: the run failed\n", name);
                status = 1;
                break;
            }
            measured.push_back(m);
        }
        if (!measured.empty()) Print(name, measured);
    }
    control->Release();
    return status;
}
