#include "SievraControl.h"

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "LongTimeFormat.h"
#include "RuleSettings.h"
#include "SetupModule.h"
#include "ValidationWorker.h"
#include "delivery/DeliveryRules.h"
#include "delivery/ProfileAccess.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "stl/StlReader.h"

using namespace std::chrono_literals;
using Clock = ValidationWorker::Clock;

namespace {

// Rule numbers of the object's own findings.
constexpr std::int32_t RULE_START = 101;
constexpr std::int32_t RULE_LOADING = 102;
constexpr std::int32_t RULE_UNLOADING = 103;

constexpr std::int32_t SievraControl::*TIMEOUT_FIELDS[] = {
    &SievraControl::m_loadTimeout, &SievraControl::m_unloadTimeout, &SievraControl::m_playTimeout,
    &SievraControl::m_stopTimeout};
constexpr const char* TIMEOUT_VALUES[] = {LOAD_FILE_TIMEOUT_VALUE, UNLOAD_FILE_TIMEOUT_VALUE,
                                          PLAY_TIMEOUT_VALUE, STOP_TIMEOUT_VALUE};

}  // namespace

// How one command is waited for, and what its time-out path sends.
struct CommandWait {
    std::int32_t command;
    const char* where;
    std::int32_t SievraControl::*timeout;
    std::int32_t done;
    std::int32_t failure;
    std::int32_t timeoutRule;
    const char* timeoutText;
};

namespace {

constexpr CommandWait COMMAND_WAITS[] = {
    {VG_COMMAND_LOAD, "TSievra.LoadFile", &SievraControl::m_loadTimeout, VG_STATUS_LOADED,
     VG_STATUS_LOAD_FAILED, 104, "Loading timeout."},
    {VG_COMMAND_UNLOAD, "TSievra.UnloadFile", &SievraControl::m_unloadTimeout, VG_STATUS_UNLOADED,
     VG_STATUS_UNLOAD_FAILED, 105, "Unloading timeout."},
    {VG_COMMAND_PLAY, "TSievra.Play", &SievraControl::m_playTimeout, VG_STATUS_PLAYING,
     VG_STATUS_PLAY_FAILED, 106, "Play timeout."},
    {VG_COMMAND_STOP, "TSievra.Stop", &SievraControl::m_stopTimeout, VG_STATUS_STOPPED,
     VG_STATUS_STOP_FAILED, 107, "Stop timeout."},
};

const CommandWait& commandWaitFor(std::int32_t command) {
    for (const auto& wait : COMMAND_WAITS)
        if (wait.command == command) return wait;
    throw std::logic_error("unknown command");
}

}  // namespace

SievraControl::SievraControl() {
    platform::guardedVoid("TSievra.Create", [&] {
        m_ruleSettings = std::make_unique<RuleSettings>();
        addDefaultValidationSettings(*m_ruleSettings);
        m_ruleSettings->loadFromRegistry(VALIDATION_SETTINGS_KEY);
        m_deliverySettings = std::make_unique<DeliverySettings>();
        m_deliverySettings->loadFromRegistry(DELIVERY_SETTINGS_KEY);
        m_profileAccess = std::make_unique<ProfileAccess>(static_cast<IQuorvexControl&>(*this),
                                                          *m_ruleSettings, *m_deliverySettings);
        loadRegistry();
    });
}

SievraControl::~SievraControl() {
    destroy();
}

void SievraControl::destroy() {
    platform::guardedVoid("TSievra.Destroy", [&] {
        m_worker.reset();  // waits for a run in progress
        m_quorvexReport.reset();
        saveRegistry();
        if (m_ruleSettings) {
            m_ruleSettings->saveToRegistry(VALIDATION_SETTINGS_KEY, &m_changedRuleValues);
            m_ruleSettings.reset();
        }
        if (m_deliverySettings)
            m_deliverySettings->saveToRegistry(DELIVERY_SETTINGS_KEY, &m_changedDeliveryValues);
    });
}

HRESULT QVX_STDCALL SievraControl::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject || isNullInterfaceId(riid)) return E_POINTER;
    *ppvObject = nullptr;
    if (riid == iidIUnknown || riid == iidIQuorvexControl)
        *ppvObject = static_cast<IQuorvexControl*>(this);
    else if (riid == iidIQuorvexVideoControl)
        *ppvObject = static_cast<IQuorvexVideoControl*>(this);
    else if (riid == iidIQuorvexReportSet)
        *ppvObject = static_cast<IQuorvexReportSet*>(this);
    else if (riid == iidIQuorvexProfile && m_profileAccess)
        *ppvObject = static_cast<IQuorvexProfile*>(m_profileAccess.get());
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::uint32_t QVX_STDCALL SievraControl::AddRef() {
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t QVX_STDCALL SievraControl::Release() {
    const std::uint32_t left = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

HRESULT QVX_STDCALL SievraControl::GetModuleName(const char** name) {
    return platform::guarded("TSievra.GetModuleName", E_FAIL, [&] {
        if (!name) throw std::invalid_argument("null");
        *name = m_moduleName.c_str();
        return S_OK;
    });
}

HRESULT SievraControl::postAndWait(const CommandWait& wait, const std::string* fileName,
                                   bool* answered) {
    if (answered) *answered = false;
    const std::int32_t timeout = this->*wait.timeout;
    // The time spent waiting to post counts against the time-out.
    const Clock::time_point start = Clock::now();
    const Clock::time_point postDeadline = start + std::chrono::milliseconds(timeout);
    ValidationWorker& worker = *m_worker;
    HRESULT posted = E_FAIL;
    switch (wait.command) {
        case VG_COMMAND_LOAD:
            posted = worker.loadFile(*fileName, postDeadline);
            break;
        case VG_COMMAND_UNLOAD:
            posted = worker.unloadFile(postDeadline);
            break;
        case VG_COMMAND_PLAY:
            posted = worker.play(postDeadline);
            break;
        case VG_COMMAND_STOP:
            posted = worker.stop(postDeadline);
            break;
    }
    if (FAILED(posted)) return E_FAIL;

    // Past the time-out once the whole milliseconds elapsed exceed it; a time-out of 0 or less
    // has passed before any answer can count.
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeout) + 1ms;
    if (posted == S_OK && timeout > 0) {
        for (;;) {
            worker.waitForAnswer(wait.done, wait.failure, deadline);
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            // Time-out before status: an answer in the same pass as the time-out is too late.
            if (elapsed.count() > timeout) break;
            std::int32_t status = 0;
            if (FAILED(worker.getVgThreadStatus(&status))) return E_FAIL;
            if (status == wait.done || status == wait.failure) {
                if (answered) *answered = true;
                return status == wait.done ? S_OK : E_FAIL;
            }
        }
    }
    platform::reportError(wait.where, "timeout.");
    if (wait.command == VG_COMMAND_UNLOAD)
        report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Unloading File.", RULE_UNLOADING);
    report(MODULE_SIEVRA, REPORT_TYPE_ERROR, wait.timeoutText, wait.timeoutRule);
    return E_FAIL;
}

HRESULT QVX_STDCALL SievraControl::LoadFile(const char* fileName) {
    return platform::guarded("TSievra.LoadFile", E_FAIL, [&] {
        if (!fileName) throw std::invalid_argument("null");
        const std::string name = fileName;
        if (!isStlFile(name, true, StlVariant::Plugin)) return E_FAIL;
        report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Start validation at " + startTimeText(),
               RULE_START);
        report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Loading File: " + name, RULE_LOADING);
        m_worker.reset();  // waits for a run in progress
        m_worker = std::make_unique<ValidationWorker>();
        // Without a sink the worker's findings have nowhere to go, even if one is set later.
        if (m_quorvexReport) {
            m_worker->setQuorvexReport(m_quorvexReport.get());
            m_worker->setValidationSettingList(m_ruleSettings.get());
            if (m_profileAccess) m_worker->setDeliverySettings(&m_profileAccess->runSettings());
        }
        return postAndWait(commandWaitFor(VG_COMMAND_LOAD), &name);
    });
}

HRESULT QVX_STDCALL SievraControl::UnloadFile() {
    return platform::guarded("TSievra.UnloadFile", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        bool answered = false;
        const HRESULT hr = postAndWait(commandWaitFor(VG_COMMAND_UNLOAD), nullptr, &answered);
        if (!answered) return hr;  // timed out: the worker stays
        m_worker.reset();
        report(MODULE_SIEVRA, REPORT_TYPE_INFO, "Unloading File.", RULE_UNLOADING);
        return hr;
    });
}

HRESULT QVX_STDCALL SievraControl::Play() {
    return platform::guarded("TSievra.Play", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        return postAndWait(commandWaitFor(VG_COMMAND_PLAY), nullptr);
    });
}

HRESULT QVX_STDCALL SievraControl::Stop() {
    return platform::guarded("TSievra.Stop", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        return postAndWait(commandWaitFor(VG_COMMAND_STOP), nullptr);
    });
}

HRESULT QVX_STDCALL SievraControl::GetMediaDuration(std::int64_t* duration) {
    return platform::guarded("TSievra.GetMediaDuration", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        return m_worker->getMediaDuration(duration);
    });
}

HRESULT QVX_STDCALL SievraControl::GetMediaPosition(std::int64_t* position) {
    return platform::guarded("TSievra.GetMediaPosition", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        return m_worker->getMediaPosition(position);
    });
}

HRESULT QVX_STDCALL SievraControl::GetProgress(double* progress) {
    return platform::guarded("TSievra.GetProgress", E_FAIL, [&] {
        if (!m_worker) return E_FAIL;
        double value = 0.0;
        if (!progress || FAILED(m_worker->getProgress(&value))) return E_FAIL;
        if (std::isnan(value) || value < 0.0) value = 0.0;
        if (value > 100.0) value = 100.0;
        *progress = value;
        return S_OK;
    });
}

HRESULT QVX_STDCALL SievraControl::Configure(QVX_HWND parentWindow) {
    return platform::guarded("TSievra.Configure", E_FAIL, [&] {
        if (!m_ruleSettings || !m_deliverySettings) return E_FAIL;
        std::string whyNot;
        const SetupEntryFunction showSetupDialog = setupEntry(whyNot);
        if (!showSetupDialog) {
            platform::reportError("TSievra.Configure",
                                  ("cannot load the setup dialogs: " + whyNot).c_str());
            return E_FAIL;
        }
        // The dialog edits the list the worker reads its rules from: never during a run.
        if (m_worker) m_worker->waitUntilIdle();
        RuleSettings before;
        before.assignValidationSettingList(*m_ruleSettings);
        std::int32_t timeouts[std::size(TIMEOUT_FIELDS)];
        for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i)
            timeouts[i] = this->*TIMEOUT_FIELDS[i];
        const DeliverySettings deliveryBefore = *m_deliverySettings;
        const bool confirmed =
            showSetupDialog(parentWindow, timeouts[0], timeouts[1], timeouts[2], timeouts[3],
                            *m_ruleSettings, m_deliverySettings.get());
        // Rule changes confirmed in the rule dialog stay even when the setup is cancelled.
        m_changedRuleValues.merge(m_ruleSettings->changedValues(before));
        m_changedDeliveryValues.merge(m_deliverySettings->changedValues(deliveryBefore));
        if (confirmed) {
            for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i) {
                if (this->*TIMEOUT_FIELDS[i] == timeouts[i]) continue;
                this->*TIMEOUT_FIELDS[i] = timeouts[i];
                m_changedTimeouts[i] = true;
            }
        }
        return S_OK;
    });
}

HRESULT QVX_STDCALL SievraControl::QueryVideoValue(std::int32_t* value) {
    if (value) *value = 0;
    return E_NOTIMPL;
}

HRESULT QVX_STDCALL SievraControl::QueryVideoValueAt(std::int32_t, std::int32_t* value) {
    if (value) *value = 0;
    return E_NOTIMPL;
}

HRESULT QVX_STDCALL SievraControl::SetQuorvexReport(IQuorvexReport* report) {
    return platform::guarded("TSievra.SetQuorvexReport", E_FAIL, [&] {
        if (!report) {
            platform::reportFailure("TSievra.SetQuorvexReport");
            return E_INVALIDARG;
        }
        m_quorvexReport = InterfaceRef<IQuorvexReport>(report);
        if (m_worker) m_worker->setQuorvexReport(report);
        if (m_ruleSettings) m_ruleSettings->setQuorvexReport(report);
        return S_OK;
    });
}

HRESULT SievraControl::report(std::int32_t module, std::int32_t reportType,
                              const std::string& reportMessage, std::int32_t validationId) {
    return platform::guarded("TSievra.Report", E_FAIL, [&] {
        if (!m_ruleSettings) return E_FAIL;
        return m_ruleSettings->report(module, reportType, reportMessage, validationId);
    });
}

HRESULT SievraControl::loadRegistry() {
    return platform::guarded("TSievra.LoadRegistry", E_FAIL, [&] {
        auto key = platform::RegistryKey::open(SIEVRA_KEY, true);
        if (!key) return S_OK;  // defaults stay in force
        for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i) {
            std::uint32_t value = 0;
            // Any 32-bit integer is taken as it is; the waits cope with 0 and negative values.
            if (key->readDWord(TIMEOUT_VALUES[i], value))
                this->*TIMEOUT_FIELDS[i] = static_cast<std::int32_t>(value);
            else if (!key->writeDWord(TIMEOUT_VALUES[i],
                                      static_cast<std::uint32_t>(this->*TIMEOUT_FIELDS[i])))
                throw std::runtime_error("registry write failed");
        }
        return S_OK;
    });
}

HRESULT SievraControl::saveRegistry() {
    return platform::guarded("TSievra.SaveRegistry", E_FAIL, [&] {
        std::vector<std::pair<std::string, platform::RegValue>> values;
        for (std::size_t i = 0; i < std::size(TIMEOUT_FIELDS); ++i)
            if (m_changedTimeouts[i])
                values.emplace_back(TIMEOUT_VALUES[i],
                                    platform::RegValue::fromDWord(
                                        static_cast<std::uint32_t>(this->*TIMEOUT_FIELDS[i])));
        if (values.empty()) return S_OK;
        auto key = platform::RegistryKey::open(SIEVRA_KEY, true);
        if (!key) return S_OK;
        if (!key->writeMany(values)) throw std::runtime_error("registry write failed");
        return S_OK;
    });
}
