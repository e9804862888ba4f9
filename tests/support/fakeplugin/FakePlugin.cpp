// A stand-in validation plug-in for host tests, built in several variants (see fakeplugin.cmake):
// one that reads its findings from the "file" it is given, and broken ones for every loader
// failure.
//
// Script format, one line each: "MODULE<TAB>TYPE<TAB>MESSAGE" is a finding; "#hang" keeps the
// progress below 100 until Stop; "#progress VALUE" sets the progress reported at the end;
// "#fail-play" makes Play fail.

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "plugin_api/QuorvexControlInterface.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Finding {
    std::int32_t module;
    std::int32_t reportType;
    std::string message;
};

class FakeControl final : public IQuorvexControl, public IQuorvexReportSet {
public:
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == iidIUnknown || riid == iidIQuorvexControl)
            *object = static_cast<IQuorvexControl*>(this);
#ifndef FAKE_NO_REPORT_SET
        else if (riid == iidIQuorvexReportSet)
            *object = static_cast<IQuorvexReportSet*>(this);
#endif
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    std::uint32_t QVX_STDCALL AddRef() override {
        return ++m_refs;
    }
    std::uint32_t QVX_STDCALL Release() override {
        const std::uint32_t left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT QVX_STDCALL GetModuleName(const char** name) override {
        *name = "Fake";
        return S_OK;
    }
    HRESULT QVX_STDCALL LoadFile(const char* fileName) override {
        stopWorker();
        std::ifstream in(fileName, std::ios::binary);
        if (!in) return E_FAIL;
        m_findings.clear();
        m_hang = m_failPlay = false;
        m_finalProgress = 100.0;
        for (std::string line; std::getline(in, line);) {
            if (line == "#hang") {
                m_hang = true;
            } else if (line == "#fail-play") {
                m_failPlay = true;
            } else if (line.rfind("#progress ", 0) == 0) {
                m_finalProgress = std::strtod(line.c_str() + 10, nullptr);
            } else {
                const auto tab1 = line.find('\t');
                const auto tab2 = line.find('\t', tab1 + 1);
                if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
                m_findings.push_back({std::atoi(line.substr(0, tab1).c_str()),
                                      std::atoi(line.substr(tab1 + 1, tab2 - tab1 - 1).c_str()),
                                      line.substr(tab2 + 1)});
            }
        }
        m_loaded = true;
        m_progress = 0;
        return S_OK;
    }
    HRESULT QVX_STDCALL UnloadFile() override {
        stopWorker();
        m_loaded = false;
        return S_OK;
    }
    HRESULT QVX_STDCALL GetMediaDuration(std::int64_t* duration) override {
        *duration = 0;
        return S_OK;
    }
    HRESULT QVX_STDCALL GetMediaPosition(std::int64_t* position) override {
        *position = 0;
        return S_OK;
    }
    // Reports from a thread of its own, as a real plug-in's worker does.
    HRESULT QVX_STDCALL Play() override {
        if (!m_loaded || m_failPlay) return E_FAIL;
        stopWorker();
        m_stop = false;
        m_worker = std::thread([this] {
            for (const Finding& f : m_findings) {
                std::lock_guard lock(m_sinkLock);
                if (m_sink) m_sink->Report(f.module, f.reportType, f.message.c_str());
            }
            while (m_hang && !m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            m_progress = m_finalProgress;
        });
        return S_OK;
    }
    HRESULT QVX_STDCALL Stop() override {
        stopWorker();
        return S_OK;
    }
    HRESULT QVX_STDCALL GetProgress(double* progress) override {
        *progress = m_progress;
        return S_OK;
    }
    HRESULT QVX_STDCALL Configure(QVX_HWND) override {
        ++m_configureCalls;
        return S_OK;
    }

    HRESULT QVX_STDCALL SetQuorvexReport(IQuorvexReport* report) override {
        std::lock_guard lock(m_sinkLock);
        m_sink = report;
        return S_OK;
    }

    static std::atomic<int> m_configureCalls;

private:
    ~FakeControl() {
        stopWorker();
    }
    void stopWorker() {
        m_stop = true;
        if (m_worker.joinable()) m_worker.join();
    }

    std::atomic<std::uint32_t> m_refs{1};
    std::mutex m_sinkLock;
    IQuorvexReport* m_sink = nullptr;
    std::vector<Finding> m_findings;
    bool m_loaded = false;
    bool m_hang = false;
    bool m_failPlay = false;
    double m_finalProgress = 100.0;
    std::atomic<double> m_progress{0};
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

std::atomic<int> FakeControl::m_configureCalls{0};

}  // namespace

// How often Configure was called, so tests can see the Settings button reach the plug-in.
FAKE_EXPORT int FakePluginConfigureCalls() {
    return FakeControl::m_configureCalls;
}

#if defined(FAKE_NO_EXPORT)
FAKE_EXPORT std::int32_t GetSomethingElse(IQuorvexControl** control) {
    *control = nullptr;
    return E_FAIL;
}
#elif defined(FAKE_EXPORT_FAILS)
FAKE_EXPORT std::int32_t QVX_STDCALL GetQuorvexControl(IQuorvexControl** control) {
    *control = nullptr;
    return E_FAIL;
}
#elif defined(FAKE_EXPORT_RETURNS_NOTHING)
FAKE_EXPORT std::int32_t QVX_STDCALL GetQuorvexControl(IQuorvexControl** control) {
    *control = nullptr;
    return S_OK;
}
#else
FAKE_EXPORT std::int32_t QVX_STDCALL GetQuorvexControl(IQuorvexControl** control) {
    *control = new FakeControl;
    return S_OK;
}
#endif
