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
    std::int32_t module = 0;
    std::int32_t type = 0;
    std::string message;
    bool onCallerThread = false;  // sent from the thread that created the recorder

    // The rule number in front of the text, -1 when there is none.
    int rule() const {
        if (message.size() < 5 || message[0] != '[') return -1;
        return std::atoi(message.c_str() + 1);
    }
    // The text after "[NNN] ".
    std::string text() const {
        const auto p = message.find("] ");
        return p == std::string::npos ? message : message.substr(p + 2);
    }
};

// The host's sink. Not reference-owned: the test keeps it alive and checks that every reference
// the plug-in took is given back.
class ReportRecorder final : public IQuorvexReport {
public:
    ReportRecorder() : m_owner(std::this_thread::get_id()) {}

    HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!(riid == iidIUnknown || riid == iidIQuorvexReport)) return E_NOINTERFACE;
        *out = static_cast<IQuorvexReport*>(this);
        AddRef();
        return S_OK;
    }
    std::uint32_t QVX_STDCALL AddRef() override { return ++m_refs; }
    std::uint32_t QVX_STDCALL Release() override { return --m_refs; }

    HRESULT QVX_STDCALL Report(std::int32_t module, std::int32_t reportType,
                               const char* reportMessage) override {
        std::unique_lock lock(m_mutex);
        Finding f{module, reportType, reportMessage ? reportMessage : "<null>",
                  std::this_thread::get_id() == m_owner};
        m_findings.push_back(f);
        // Holds a worker-side finding of the chosen rule until the test opens the gate.
        if (!f.onCallerThread && m_gateRule >= 0 && f.rule() == m_gateRule) {
            m_gateRule = -1;
            m_held = true;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return !m_held; });
        }
        return m_result;
    }

    // The next finding of Rule sent from another thread waits inside Report until open().
    void holdAt(int rule) {
        std::lock_guard lock(m_mutex);
        m_gateRule = rule;
    }
    bool waitUntilHeld(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_held; });
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_held = false;
        m_changed.notify_all();
    }
    void setResult(HRESULT hr) {
        std::lock_guard lock(m_mutex);
        m_result = hr;
    }

    std::vector<Finding> findings() const {
        std::lock_guard lock(m_mutex);
        return m_findings;
    }
    std::vector<int> rules() const {
        std::vector<int> out;
        for (const auto& f : findings()) out.push_back(f.rule());
        return out;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_findings.clear();
    }
    int refs() const { return m_refs.load(); }

private:
    const std::thread::id m_owner;
    std::atomic<int> m_refs{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Finding> m_findings;
    int m_gateRule = -1;
    bool m_held = false;
    HRESULT m_result = S_OK;
};

// Redirects file descriptor 2 into a file while it lives; lines() gives what was written.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        char name[] = "/tmp/lumtrace-stderr-XXXXXX";
        m_fd = mkstemp(name);
        m_path = name;
        m_saved = dup(2);
        dup2(m_fd, 2);
    }
    ~StderrCapture() {
        restore();
        std::remove(m_path.c_str());
    }
    std::vector<std::string> lines() {
        restore();
        std::ifstream in(m_path);
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
        if (m_saved < 0) return;
        std::fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
        close(m_fd);
        m_saved = -1;
    }
    std::string m_path;
    int m_fd = -1;
    int m_saved = -1;
};

// Sievra.zkx, loaded and asked for a control interface exactly as the host does.
class SievraModule {
public:
    explicit SievraModule(const std::string& path = SIEVRA_MODULE_PATH) {
        m_loaded = m_library.load(path);
        if (m_loaded)
            m_export = reinterpret_cast<GetQuorvexControlFunction>(
                m_library.symbol(GET_QUORVEX_CONTROL_NAME));
    }
    bool ok() const { return m_loaded && m_export != nullptr; }
    std::string error() const { return m_library.lastError(); }
    std::int32_t call(IQuorvexControl** control) const { return m_export(control); }

    // A new plug-in object; the returned reference is the one the export handed out.
    InterfaceRef<IQuorvexControl> create() const {
        IQuorvexControl* control = nullptr;
        EXPECT_EQ(call(&control), 0);
        InterfaceRef<IQuorvexControl> ref(control);
        if (control) control->Release();  // InterfaceRef took its own
        return ref;
    }

private:
    platform::DynamicLibrary m_library;
    bool m_loaded = false;
    GetQuorvexControlFunction m_export = nullptr;
};

template <class T>
InterfaceRef<T> query(IUnknown* object, REFIID iid) {
    void* out = nullptr;
    InterfaceRef<T> ref;
    if (object && object->QueryInterface(iid, &out) == S_OK) {
        ref = InterfaceRef<T>(static_cast<T*>(out));
        static_cast<T*>(out)->Release();
    }
    return ref;
}

// Polls GetProgress tightly until it reads 100 or Limit passes; true when it did.
inline bool waitForProgress100(IQuorvexControl* control,
                               std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        double progress = -1;
        if (control->GetProgress(&progress) != S_OK) return false;
        if (progress == 100.0) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

}  // namespace plugintest
