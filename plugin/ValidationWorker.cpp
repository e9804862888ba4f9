#include "ValidationWorker.h"

#include "FileValidator.h"
#include "RuleSettings.h"
#include "platform/Guarded.h"
#include "stl/StlReader.h"

using namespace std::chrono_literals;

ValidationWorker::ValidationWorker() : m_thread([this] { execute(); }) {}

ValidationWorker::~ValidationWorker() {
    platform::guardedVoid("TSTLValidationThread.Destroy", [&] {
        {
            std::lock_guard lock(m_signalLock);
            m_stopSignalled = true;
        }
        m_stopEvent.notify_all();
        if (m_thread.joinable()) m_thread.join();
    });
    // The reader, the validator and the sink go with the members.
}

HRESULT ValidationWorker::postCommand(std::int32_t newCommand, const std::string* fileName,
                                      Clock::time_point postDeadline) {
    {
        std::unique_lock lock(m_signalLock);
        // One command at a time: wait until the worker has taken the previous one.
        auto taken = [&] { return m_command.load(std::memory_order_acquire) == VG_COMMAND_NONE; };
        if (postDeadline == Clock::time_point::max()) {
            m_answered.wait(lock, taken);
        } else if (!m_answered.wait_until(lock, postDeadline, taken)) {
            return S_FALSE;
        }
        if (fileName) m_fileName = *fileName;
        // Status first: the worker's answer can only follow the command it answers.
        m_status.store(newCommand, std::memory_order_release);
        m_command.store(newCommand, std::memory_order_release);
    }
    m_stopEvent.notify_one();
    return S_OK;
}

bool ValidationWorker::waitForAnswer(std::int32_t done, std::int32_t failure,
                                     Clock::time_point deadline) {
    std::unique_lock lock(m_signalLock);
    return m_answered.wait_until(lock, deadline, [&] {
        const std::int32_t status = m_status.load(std::memory_order_acquire);
        return status == done || status == failure;
    });
}

void ValidationWorker::answer(std::int32_t status) {
    {
        std::lock_guard lock(m_signalLock);
        m_status.store(status, std::memory_order_release);
        m_command.store(VG_COMMAND_NONE, std::memory_order_release);
    }
    m_answered.notify_all();
}

HRESULT ValidationWorker::loadFile(const std::string& fileName, Clock::time_point postDeadline) {
    return platform::guarded("TSTLValidationThread.LoadFile", E_FAIL,
                             [&] { return postCommand(VG_COMMAND_LOAD, &fileName, postDeadline); });
}

HRESULT ValidationWorker::unloadFile(Clock::time_point postDeadline) {
    return platform::guarded("TSTLValidationThread.UnloadFile", E_FAIL,
                             [&] { return postCommand(VG_COMMAND_UNLOAD, nullptr, postDeadline); });
}

HRESULT ValidationWorker::play(Clock::time_point postDeadline) {
    return platform::guarded("TSTLValidationThread.Play", E_FAIL,
                             [&] { return postCommand(VG_COMMAND_PLAY, nullptr, postDeadline); });
}

HRESULT ValidationWorker::stop(Clock::time_point postDeadline) {
    return platform::guarded("TSTLValidationThread.Stop", E_FAIL,
                             [&] { return postCommand(VG_COMMAND_STOP, nullptr, postDeadline); });
}

HRESULT ValidationWorker::getVgThreadStatus(std::int32_t* value) {
    return platform::guarded("TSTLValidationThread.GetVGThreadStatus", E_FAIL, [&] {
        if (!value) throw std::invalid_argument("null");
        *value = m_status.load(std::memory_order_acquire);
        return S_OK;
    });
}

namespace {

template <class T>
HRESULT readLocked(const char* where, std::mutex& mutex, const T& field, T* out) {
    return platform::guarded(where, E_FAIL, [&] {
        if (!out) throw std::invalid_argument("null");
        std::lock_guard guard(mutex);
        *out = field;
        return S_OK;
    });
}

}  // namespace

HRESULT ValidationWorker::getMediaDuration(std::int64_t* duration) {
    return readLocked("TSTLValidationThread.GetMediaDuration", m_lock, m_duration, duration);
}

HRESULT ValidationWorker::getMediaPosition(std::int64_t* position) {
    return readLocked("TSTLValidationThread.GetMediaPosition", m_lock, m_position, position);
}

HRESULT ValidationWorker::getProgress(double* progress) {
    return readLocked("TSTLValidationThread.GetProgress", m_lock, m_progress, progress);
}

HRESULT ValidationWorker::setQuorvexReport(IQuorvexReport* report) {
    return platform::guarded("TSTLValidationThread.SetQuorvexReport", E_FAIL, [&] {
        if (!report) {
            platform::reportError("TSTLValidationThread.SetQuorvexReport", "invalid argument.");
            return E_INVALIDARG;
        }
        m_quorvexReport = InterfaceRef<IQuorvexReport>(report);
        return S_OK;
    });
}

HRESULT ValidationWorker::setValidationSettingList(RuleSettings* list) {
    return platform::guarded("TSTLValidationThread.SetValidationSettingList", E_FAIL, [&] {
        if (!list) return E_INVALIDARG;
        m_ruleSettings = list;
        return S_OK;
    });
}

bool ValidationWorker::isIdle() const {
    if (!m_running.load(std::memory_order_acquire)) return true;
    // Busy is raised before Command is cleared, so "no command and not busy" cannot miss a run.
    return m_command.load(std::memory_order_acquire) == VG_COMMAND_NONE &&
           !m_busy.load(std::memory_order_acquire);
}

void ValidationWorker::waitUntilIdle() const {
    while (!isIdle()) std::this_thread::sleep_for(1ms);
}

HRESULT QVX_STDCALL ValidationWorker::reportFunction(void* context, std::int32_t module,
                                                     std::int32_t reportType,
                                                     const char* reportMessage,
                                                     std::int32_t validationId) {
    return platform::guarded("TSTLValidationThread.ReportFunction", E_FAIL, [&] {
        auto* self = static_cast<ValidationWorker*>(context);
        if (!self || !self->m_ruleSettings) return E_FAIL;
        const std::string text = reportMessage ? reportMessage : "";
        return self->m_ruleSettings->report(module, reportType, text, validationId);
    });
}

bool ValidationWorker::waitForStop() {
    // Commands are posted under the same lock and notify the event, so none is missed.
    std::unique_lock lock(m_signalLock);
    m_stopEvent.wait(lock, [&] {
        return m_stopSignalled || m_command.load(std::memory_order_relaxed) != VG_COMMAND_NONE;
    });
    return m_stopSignalled;
}

void ValidationWorker::execute() {
    // COM needs no per-thread initialisation on this platform.
    platform::guardedVoid("TSTLValidationThread.Execute", [&] {
        while (!waitForStop()) {
            const std::int32_t command = m_command.load(std::memory_order_acquire);
            if (command == VG_COMMAND_NONE) continue;
            m_busy.store(true, std::memory_order_release);
            switch (command) {
                case VG_COMMAND_LOAD:
                    doLoad();
                    break;
                case VG_COMMAND_UNLOAD:
                    doUnload();
                    break;
                case VG_COMMAND_PLAY:
                    doPlay();
                    break;
                case VG_COMMAND_STOP:
                    answer(VG_STATUS_STOPPED);
                    break;
                default:
                    break;  // not a command: ignored, stays posted as the poster left it
            }
            m_busy.store(false, std::memory_order_release);
        }
    });
    m_busy.store(false, std::memory_order_release);
    m_running.store(false, std::memory_order_release);
}

void ValidationWorker::freeFile() {
    m_fileValidator.reset();
    m_stlReader.reset();
}

void ValidationWorker::setMedia(std::int64_t duration, double progress) {
    std::lock_guard lock(m_lock);
    m_duration = duration;
    m_position = 0;
    m_progress = progress;
}

void ValidationWorker::doLoad() {
    freeFile();
    const ReportFunction report{this, &ValidationWorker::reportFunction};
    bool loaded = false;
    if (isStlFile(m_fileName, true, StlVariant::Plugin)) {
        m_stlReader = std::make_unique<StlReader>(StlVariant::Plugin);
        m_stlReader->setReportFunction(report);
        if (SUCCEEDED(m_stlReader->openFile(m_fileName, true))) {
            m_fileValidator = std::make_unique<FileValidator>();
            m_fileValidator->setReportFunction(report);
            m_fileValidator->setDeliverySettings(m_deliverySettings);
            loaded = true;
        }
    }
    setMedia(m_stlReader ? m_stlReader->getDuration() : 0, 0.0);
    answer(loaded ? VG_STATUS_LOADED : VG_STATUS_LOAD_FAILED);
}

void ValidationWorker::doUnload() {
    freeFile();
    setMedia(0, 0.0);
    answer(VG_STATUS_UNLOADED);
}

void ValidationWorker::doPlay() {
    answer(VG_STATUS_PLAYING);
    if (m_fileValidator)
        m_fileValidator->validateStl(m_stlReader.get());
    else
        platform::reportFailure("TSTLFileValidator.ValidateSTL");
    std::lock_guard lock(m_lock);
    m_progress = 100.0;
}
