#include "FileRunner.h"

#include <algorithm>
#include <chrono>

#include "InputFile.h"
#include "host/RefusalReason.h"
#include "platform/DebugOutput.h"

namespace cli {
namespace {

// Only GetProgress is still polled; the plug-in answers the commands themselves at once.
constexpr std::chrono::milliseconds POLL_INTERVAL{1};
constexpr const char* LOAD_TIMEOUT_FINDING = "[104]";
// Without the findings, still enough of them to tell why a load was refused.
constexpr std::size_t LOAD_FINDINGS = 16;

std::string outcomeText(ValidationOutcome outcome, const std::string& file,
                        const std::vector<CustomReport>& reports) {
    switch (outcome) {
        case ValidationOutcome::LoadFailed: {
            const bool timedOut =
                std::any_of(reports.begin(), reports.end(), [](const CustomReport& r) {
                    return r.reportMessage.rfind(LOAD_TIMEOUT_FINDING, 0) == 0;
                });
            if (timedOut) return "the plug-in timed out loading it";
            const std::string reason = validationhost::refusalReason(file);
            return "not an EBU STL file" + (reason.empty() ? "" : " (" + reason + ")");
        }
        case ValidationOutcome::PlayFailed:
            return "the validation could not be started";
        case ValidationOutcome::NoPlugin:
            return "no plug-in bound";
        default:
            return "the validation failed";
    }
}

}  // namespace

FileResult FileRunner::run(const std::string& file) {
    FileResult result;
    if (std::string reason = unreadableReason(file); !reason.empty()) {
        result.reason = std::move(reason);
        return result;
    }
    // The host's lines go to the result as well, so they stay with their file.
    const platform::DebugSink previous = platform::setDebugSink(
        [&result](const std::string& line) { result.hostLines.push_back(line); });
    const bool capturing = m_capture.begin();
    m_host.setFileName(fullPath(file));
    m_host.setReportStoreLimit(m_keepFindings ? SIZE_MAX : LOAD_FINDINGS);
    const ValidationOutcome outcome = m_host.validateToEnd(POLL_INTERVAL);
    result.counts = countFindings(m_host.reportList().countByType());
    if (m_keepFindings || outcome != ValidationOutcome::Completed) {
        result.reports = m_host.reports();
        if (m_locate)
            result.places = locateFindings(file, result.reports, m_host.reportList().blocks());
    }
    if (capturing) result.pluginLines = m_capture.end();
    if (outcome == ValidationOutcome::Completed) {
        result.validated = true;
    } else {
        result.reason = outcomeText(outcome, file, result.reports);
    }
    platform::setDebugSink(previous);
    return result;
}

}  // namespace cli
