#include "BatchValidation.h"

#include <algorithm>
#include <chrono>

#include "FindingsTable.h"
#include "InputFile.h"
#include "RefusalReason.h"
#include "ReportPaths.h"
#include "host/PluginHost.h"

namespace cli {
namespace {

// The window polls every 100 ms; a batch would spend most of its time asleep at that pace.
constexpr std::chrono::milliseconds POLL_INTERVAL{1};
constexpr const char* LOAD_TIMEOUT_FINDING = "[104]";

class Batch {
public:
    Batch(const CommandLine& line, const BatchSettings& settings, std::ostream& out,
          std::ostream& err)
        : m_line(line), m_settings(settings), m_out(out), m_err(err) {}

    int run() {
        m_host.setPlugin(m_settings.pluginPath);
        if (!m_host.loadPlugin()) {
            fail("cannot load the plug-in '" + m_settings.pluginPath + "': " + m_host.loadError());
            return ExitNotValidated;
        }
        if (m_line.xmlPath) {
            ReportPlan plan = planReports(*m_line.xmlPath, m_line.files);
            if (!plan.error.empty()) {
                fail(plan.error);
                return ExitNotValidated;
            }
            m_reportPaths = std::move(plan.paths);
        }
        for (std::size_t i = 0; i < m_line.files.size(); ++i) validateOne(i);
        return m_status;
    }

private:
    void validateOne(std::size_t index) {
        const std::string& file = m_line.files[index];
        if (m_settings.showProgress && m_line.files.size() > 1) {
            m_err << m_settings.programName << ": [" << index + 1 << "/" << m_line.files.size()
                  << "] " << terminalText(file) << std::endl;
        }
        if (const std::string reason = unreadableReason(file); !reason.empty()) {
            failFile(file, reason);
            return;
        }
        m_host.setFileName(fullPath(file));
        const ValidationOutcome outcome = m_host.validateToEnd(POLL_INTERVAL);
        const std::vector<CustomReport> reports = m_host.reports();
        if (outcome != ValidationOutcome::Completed) {
            failFile(file, outcomeText(outcome, file, reports));
            return;
        }
        const FindingCounts counts = countFindings(reports);
        if (m_shownFiles++ > 0 && !m_line.quiet) m_out << '\n';
        m_out << formatSummary(file, counts) << '\n';
        if (!m_line.quiet) m_out << formatFindingsTable(reports);
        if (!m_reportPaths.empty()) writeReport(m_reportPaths[index]);
        if (counts.errors > 0) m_status = std::max<int>(m_status, ExitErrorsFound);
    }

    void writeReport(const std::string& path) {
        // The report names the file by its full path, as the window's does. Every validated
        // file gets its report, one without findings too, and a report of an
        // earlier run is replaced only once the new one is complete.
        const ReportSaveResult saved = m_host.saveReport(path, true, true);
        if (saved == ReportSaveResult::NotRegularFile)
            fail("cannot write the report '" + path + "': not a regular file");
        else if (saved != ReportSaveResult::Saved)
            fail("cannot write the report '" + path + "'");
    }

    static std::string outcomeText(ValidationOutcome outcome, const std::string& file,
                                   const std::vector<CustomReport>& reports) {
        switch (outcome) {
            case ValidationOutcome::LoadFailed: {
                const bool timedOut =
                    std::any_of(reports.begin(), reports.end(), [](const CustomReport& r) {
                        return r.reportMessage.rfind(LOAD_TIMEOUT_FINDING, 0) == 0;
                    });
                if (timedOut) return "the plug-in timed out loading it";
                const std::string reason = refusalReason(file);
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

    void failFile(const std::string& file, const std::string& reason) {
        fail(file + ": " + reason);
    }

    void fail(const std::string& message) {
        m_err << m_settings.programName << ": " << terminalText(message) << std::endl;
        m_status = ExitNotValidated;
    }

    const CommandLine& m_line;
    const BatchSettings& m_settings;
    std::ostream& m_out;
    std::ostream& m_err;
    PluginHost m_host;
    std::vector<std::string> m_reportPaths;
    std::size_t m_shownFiles = 0;
    int m_status = ExitNoErrors;
};

}  // namespace

int runBatch(const CommandLine& line, const BatchSettings& settings, std::ostream& out,
             std::ostream& err) {
    return Batch(line, settings, out, err).run();
}

}  // namespace cli
