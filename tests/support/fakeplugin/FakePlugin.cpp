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
    std::int32_t Module;
    std::int32_t ReportType;
    std::string Message;
};

class FakeControl final : public IQuorvexControl, public IQuorvexReportSet {
public:
    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IQuorvexControl)
            *object = static_cast<IQuorvexControl*>(this);
#ifndef FAKE_NO_REPORT_SET
        else if (riid == IID_IQuorvexReportSet)
            *object = static_cast<IQuorvexReportSet*>(this);
#endif
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    std::uint32_t QVX_STDCALL AddRef() override {
        return ++refs_;
    }
    std::uint32_t QVX_STDCALL Release() override {
        const std::uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT QVX_STDCALL GetModuleName(const char** name) override {
        *name = "Fake";
        return S_OK;
    }
    HRESULT QVX_STDCALL LoadFile(const char* fileName) override {
        StopWorker();
        std::ifstream in(fileName, std::ios::binary);
        if (!in) return E_FAIL;
        findings_.clear();
        hang_ = failPlay_ = false;
        finalProgress_ = 100.0;
        for (std::string line; std::getline(in, line);) {
            if (line == "#hang") {
                hang_ = true;
            } else if (line == "#fail-play") {
                failPlay_ = true;
            } else if (line.rfind("#progress ", 0) == 0) {
                finalProgress_ = std::strtod(line.c_str() + 10, nullptr);
            } else {
                const auto tab1 = line.find('\t');
                const auto tab2 = line.find('\t', tab1 + 1);
                if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
                findings_.push_back({std::atoi(line.substr(0, tab1).c_str()),
                                     std::atoi(line.substr(tab1 + 1, tab2 - tab1 - 1).c_str()),
                                     line.substr(tab2 + 1)});
            }
        }
        loaded_ = true;
        progress_ = 0;
        return S_OK;
    }
    HRESULT QVX_STDCALL UnloadFile() override {
        StopWorker();
        loaded_ = false;
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
        if (!loaded_ || failPlay_) return E_FAIL;
        StopWorker();
        stop_ = false;
        worker_ = std::thread([this] {
            for (const Finding& f : findings_) {
                std::lock_guard lock(sinkLock_);
                if (sink_) sink_->Report(f.Module, f.ReportType, f.Message.c_str());
            }
            while (hang_ && !stop_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            progress_ = finalProgress_;
        });
        return S_OK;
    }
    HRESULT QVX_STDCALL Stop() override {
        StopWorker();
        return S_OK;
    }
    HRESULT QVX_STDCALL GetProgress(double* progress) override {
        *progress = progress_;
        return S_OK;
    }
    HRESULT QVX_STDCALL Configure(QVX_HWND) override {
        ++configureCalls_;
        return S_OK;
    }

    HRESULT QVX_STDCALL SetQuorvexReport(IQuorvexReport* report) override {
        std::lock_guard lock(sinkLock_);
        sink_ = report;
        return S_OK;
    }

    static std::atomic<int> configureCalls_;

private:
    ~FakeControl() {
        StopWorker();
    }
    void StopWorker() {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
    }

    std::atomic<std::uint32_t> refs_{1};
    std::mutex sinkLock_;
    IQuorvexReport* sink_ = nullptr;
    std::vector<Finding> findings_;
    bool loaded_ = false;
    bool hang_ = false;
    bool failPlay_ = false;
    double finalProgress_ = 100.0;
    std::atomic<double> progress_{0};
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

std::atomic<int> FakeControl::configureCalls_{0};

}  // namespace

// How often Configure was called, so tests can see the Settings button reach the plug-in.
FAKE_EXPORT int FakePluginConfigureCalls() {
    return FakeControl::configureCalls_;
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
