#pragma once
// What the plug-in tests share: a host-side report sink that records findings (and can hold the
// worker inside a finding), a capture of stderr (the module's own diagnostics go there), and the
// real Sievra.zkx loaded the way the host loads it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "InterfaceRef.h"
#include "platform/DynamicLibrary.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace plugintest {

struct Finding {
    std::int32_t Module = 0;
    std::int32_t Type = 0;
    std::string Message;
    bool OnCallerThread = false;  // sent from the thread that created the recorder

    // The rule number in front of the text, -1 when there is none.
    int Rule() const {
        if (Message.size() < 5 || Message[0] != '[') return -1;
        return std::atoi(Message.c_str() + 1);
    }
    // The text after "[NNN] ".
    std::string Text() const {
        const auto p = Message.find("] ");
        return p == std::string::npos ? Message : Message.substr(p + 2);
    }
};

// The host's sink. Not reference-owned: the test keeps it alive and checks that every reference
// the plug-in took is given back.
class ReportRecorder final : public IQuorvexReport {
public:
    ReportRecorder() : owner_(std::this_thread::get_id()) {}

    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!(riid == IID_IUnknown || riid == IID_IQuorvexReport)) return E_NOINTERFACE;
        *out = static_cast<IQuorvexReport*>(this);
        AddRef();
        return S_OK;
    }
    std::uint32_t QVX_STDCALL AddRef() override { return ++refs_; }
    std::uint32_t QVX_STDCALL Release() override { return --refs_; }

    HRESULT QVX_STDCALL Report(std::int32_t Module, std::int32_t ReportType,
                               const char* ReportMessage) override {
        std::unique_lock lock(mutex_);
        Finding f{Module, ReportType, ReportMessage ? ReportMessage : "<null>",
                  std::this_thread::get_id() == owner_};
        findings_.push_back(f);
        // Holds a worker-side finding of the chosen rule until the test opens the gate.
        if (!f.OnCallerThread && gateRule_ >= 0 && f.Rule() == gateRule_) {
            gateRule_ = -1;
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return !held_; });
        }
        return result_;
    }

    // The next finding of Rule sent from another thread waits inside Report until open().
    void holdAt(int Rule) {
        std::lock_guard lock(mutex_);
        gateRule_ = Rule;
    }
    bool waitUntilHeld(std::chrono::milliseconds Limit = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, Limit, [&] { return held_; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    void setResult(HRESULT hr) {
        std::lock_guard lock(mutex_);
        result_ = hr;
    }

    std::vector<Finding> findings() const {
        std::lock_guard lock(mutex_);
        return findings_;
    }
    std::vector<int> rules() const {
        std::vector<int> out;
        for (const auto& f : findings()) out.push_back(f.Rule());
        return out;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        findings_.clear();
    }
    int refs() const { return refs_.load(); }

private:
    const std::thread::id owner_;
    std::atomic<int> refs_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Finding> findings_;
    int gateRule_ = -1;
    bool held_ = false;
    HRESULT result_ = S_OK;
};

// Redirects file descriptor 2 into a file while it lives; lines() gives what was written.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        char name[] = "/tmp/lumtrace-stderr-XXXXXX";
        fd_ = mkstemp(name);
        path_ = name;
        saved_ = dup(2);
        dup2(fd_, 2);
    }
    ~StderrCapture() {
        restore();
        std::remove(path_.c_str());
    }
    std::vector<std::string> lines() {
        restore();
        std::ifstream in(path_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    bool contains(const std::string& line) {
        for (const auto& l : lines())
            if (l == line) return true;
        return false;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        close(fd_);
        saved_ = -1;
    }
    std::string path_;
    int fd_ = -1;
    int saved_ = -1;
};

// Sievra.zkx, loaded and asked for a control interface exactly as the host does.
class SievraModule {
public:
    SievraModule() {
        loaded_ = library_.load(SIEVRA_MODULE_PATH);
        if (loaded_)
            export_ =
                reinterpret_cast<TGetQuorvexControl>(library_.symbol(GET_QUORVEX_CONTROL_NAME));
    }
    bool ok() const { return loaded_ && export_ != nullptr; }
    std::string error() const { return library_.lastError(); }
    std::int32_t call(IQuorvexControl** Control) const { return export_(Control); }

    // A new plug-in object; the returned reference is the one the export handed out.
    InterfaceRef<IQuorvexControl> create() const {
        IQuorvexControl* control = nullptr;
        EXPECT_EQ(call(&control), 0);
        InterfaceRef<IQuorvexControl> ref(control);
        if (control) control->Release();  // InterfaceRef took its own
        return ref;
    }

private:
    platform::DynamicLibrary library_;
    bool loaded_ = false;
    TGetQuorvexControl export_ = nullptr;
};

template <class T>
InterfaceRef<T> query(IUnknown* Object, REFIID Iid) {
    void* out = nullptr;
    InterfaceRef<T> ref;
    if (Object && Object->QueryInterface(Iid, &out) == S_OK) {
        ref = InterfaceRef<T>(static_cast<T*>(out));
        static_cast<T*>(out)->Release();
    }
    return ref;
}

// Polls GetProgress tightly until it reads 100 or Limit passes; true when it did.
inline bool waitForProgress100(IQuorvexControl* Control,
                               std::chrono::milliseconds Limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + Limit;
    while (std::chrono::steady_clock::now() < end) {
        double progress = -1;
        if (Control->GetProgress(&progress) != S_OK) return false;
        if (progress == 100.0) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

}  // namespace plugintest
