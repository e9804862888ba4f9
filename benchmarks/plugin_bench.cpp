// Validation speed of Sievra.zkx, driven as the host drives it: dlopen, the export, the vtables.
// Prints the time from Play to progress 100 for a generated 99,999-block file, once clean and
// once with findings in every block, and the findings per second the sink received; then the clean
// file with every delivery rule switched on, and its median against the clean default run. The
// three kinds of run take turns.
// Usage: sievra_bench [RUNS [BLOCKS]] (default 5 runs of 99999 blocks). The module is taken from
// this program's folder; the rule settings start from their defaults (own config home).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "plugin_api/QuorvexProfileInterface.h"
#include "tests/support/FindingsFile.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Keeps every finding, as the validation window does.
class CollectingSink final : public IQuorvexReport {
public:
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = riid == iidIUnknown || riid == iidIQuorvexReport ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    std::uint32_t QVX_STDCALL AddRef() override { return 2; }
    std::uint32_t QVX_STDCALL Release() override { return 1; }
    HRESULT QVX_STDCALL Report(std::int32_t, std::int32_t, const char* message) override {
        std::lock_guard lock(m_mutex);
        m_findings.emplace_back(message);
        return S_OK;
    }
    std::size_t take() {
        std::lock_guard lock(m_mutex);
        const std::size_t n = m_findings.size();
        m_findings.clear();
        return n;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_findings;
};

struct Measurement {
    double milliseconds = 0;
    double cpuMilliseconds = 0;  // of the whole process: tells the run from a busy machine
    std::size_t findings = 0;
};

double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// One Load, Play ... progress 100, Stop, Unload; the time runs from Play to progress 100 and the
// findings are those the run itself sent.
bool measureRun(IQuorvexControl* control, CollectingSink& sink, const std::string& file,
                Measurement& out) {
    if (control->LoadFile(file.c_str()) != S_OK) return false;
    sink.take();
    const double cpuStart = processCpuMilliseconds();
    const Clock::time_point start = Clock::now();
    if (control->Play() != S_OK) return false;
    for (;;) {
        double progress = 0;
        if (control->GetProgress(&progress) != S_OK) return false;
        if (progress >= 100.0) break;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    const Clock::time_point end = Clock::now();
    out.milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    out.cpuMilliseconds = processCpuMilliseconds() - cpuStart;
    out.findings = sink.take();
    control->Stop();
    control->UnloadFile();
    sink.take();
    return true;
}

// Median milliseconds.
double print(const char* name, std::vector<Measurement> runs) {
    std::sort(runs.begin(), runs.end(), [](const Measurement& a, const Measurement& b) {
        return a.milliseconds < b.milliseconds;
    });
    const Measurement& median = runs[runs.size() / 2];
    std::printf(
        "%-9s min %7.1f ms  median %7.1f ms (cpu %7.1f ms)  findings %6zu  %9.0f findings/s\n",
        name, runs.front().milliseconds, median.milliseconds, median.cpuMilliseconds,
        median.findings,
        median.milliseconds > 0 ? median.findings * 1000.0 / median.milliseconds : 0.0);
    return median.milliseconds;
}

// A profile file that switches on every delivery rule (501-520) with its default threshold, but
// a minimum duration the clean file's 720 ms subtitles meet.
std::string everyRuleProfile(const std::string& path) {
    std::ofstream out(path);
    out << "[profile]\nname = Every rule\n";
    for (int id = 501; id <= 520; ++id)
        out << "[" << id << "]\n" << (id == 503 ? "threshold = 700\n" : "");
    return path;
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
    auto create =
        reinterpret_cast<GetQuorvexControlFunction>(library.symbol(GET_QUORVEX_CONTROL_NAME));
    CollectingSink sink;
    // One object with the stored (default) settings, one with every delivery rule selected for
    // its runs only.
    const auto makeControl = [&]() -> IQuorvexControl* {
        IQuorvexControl* control = nullptr;
        void* out = nullptr;
        if (!create || create(&control) != 0 || !control) return nullptr;
        if (control->QueryInterface(iidIQuorvexReportSet, &out) != S_OK) return nullptr;
        auto* reportSet = static_cast<IQuorvexReportSet*>(out);
        reportSet->SetQuorvexReport(&sink);
        reportSet->Release();
        return control;
    };
    IQuorvexControl* control = makeControl();
    IQuorvexControl* delivery = makeControl();
    void* out = nullptr;
    if (!control || !delivery || delivery->QueryInterface(iidIQuorvexProfile, &out) != S_OK) {
        std::fprintf(stderr, "no control or profile interface from %s\n", path.c_str());
        return 2;
    }
    auto* profile = static_cast<IQuorvexProfile*>(out);
    const HRESULT selected =
        profile->SelectProfile(everyRuleProfile(dir.file("every-rule.ini")).c_str());
    profile->Release();
    if (selected != S_OK) return 2;

    const std::string clean = testsupport::makeFindingsFile(dir.file("clean.stl"), blocks, false);
    const std::string faulty =
        testsupport::makeFindingsFile(dir.file("findings.stl"), blocks, true);
    std::printf("Sievra.zkx, %d blocks, %d runs each; time from Play to progress 100\n", blocks,
                runs);
    int status = 0;
    // Runs of several kinds take turns, so a machine that gets busier meanwhile slows them alike.
    struct Kind {
        const char* name;
        IQuorvexControl* control;
        const std::string* file;
        std::vector<Measurement> measured;
    };
    std::vector<Kind> kinds = {{"clean", control, &clean, {}},
                               {"findings", control, &faulty, {}},
                               {"delivery", delivery, &clean, {}}};
    for (int i = 0; i < runs && status == 0; ++i) {
        for (Kind& kind : kinds) {
            Measurement m;
            if (!measureRun(kind.control, sink, *kind.file, m)) {
                std::fprintf(stderr, "%s: the run failed\n", kind.name);
                status = 1;
                break;
            }
            kind.measured.push_back(m);
        }
    }
    double medians[3] = {0, 0, 0};
    for (std::size_t k = 0; k < kinds.size(); ++k)
        if (!kinds[k].measured.empty()) medians[k] = print(kinds[k].name, kinds[k].measured);
    if (medians[0] > 0 && medians[2] > 0)
        std::printf("delivery / clean (medians): %.2f\n", medians[2] / medians[0]);
    control->Release();
    delivery->Release();
    return status;
}
