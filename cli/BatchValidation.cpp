#include "BatchValidation.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <set>

#include "EnabledRules.h"
#include "FileRunner.h"
#include "FindingsTable.h"
#include "InputFile.h"
#include "InputList.h"
#include "ListedInputs.h"
#include "MachineReport.h"
#include "ReportPaths.h"
#include "RuleListing.h"
#include "RunChecks.h"
#include "SettingOverrides.h"
#include "WorkerProcesses.h"
#include "host/PluginHost.h"
#include "host/ValidationReportXml.h"
#include "platform/Guarded.h"

namespace cli {
namespace {

constexpr const char* SAVE_REPORT_WHERE = "TPluginHost.SaveReportXML";

std::string reportExtension(OutputFormat format) {
    switch (format) {
        case OutputFormat::Json:
            return ".json";
        case OutputFormat::Junit:
            return ".junit.xml";
        case OutputFormat::Sarif:
            return ".sarif";
        case OutputFormat::Csv:
            return ".csv";
        case OutputFormat::Html:
            return ".html";
        default:
            return ".xml";
    }
}

struct ReportTarget {
    OutputFormat format;
    std::vector<std::string> paths;  // one per input
};

class Batch {
public:
    Batch(const CommandLine& line, const BatchSettings& settings, std::istream& names,
          std::ostream& out, std::ostream& err)
        : m_line(line), m_settings(settings), m_names(names), m_out(out), m_err(err) {}

    int run() {
        if (m_line.listRules) return listRules();
        m_inputs = expandInputs(m_line.files, m_line.recursive, m_line.nulSeparated, m_names);
        if (!m_line.skipListed.empty() && !m_inputs.empty()) {
            if (!skipListed()) return ExitNotValidated;
            if (m_inputs.empty()) return m_status;  // every file done already
        }
        if (m_inputs.empty()) {
            fail("no file given");
            return ExitNotValidated;
        }
        if (!bindPlugin()) return ExitNotValidated;
        if (!planReports()) return ExitNotValidated;
        std::string listing;
        if (FAILED(m_host.ruleListing(listing))) listing.clear();
        m_checks = runChecks(m_line, listing);
        if (needsRuleList()) {
            m_rules = enabledRules();
            for (int rule : deliveryRulesOn(listing)) m_rules.push_back(rule);
        }

        std::vector<std::string> runnable;
        std::vector<std::size_t> inputOf;
        for (std::size_t i = 0; i < m_inputs.size(); ++i) {
            if (!m_inputs[i].reason.empty()) continue;
            runnable.push_back(m_inputs[i].path);
            inputOf.push_back(i);
        }
        const unsigned jobs = static_cast<unsigned>(std::min<std::size_t>(
            m_line.jobs ? m_line.jobs : std::max(1u, m_settings.cores), runnable.size()));
        auto take = [&](std::size_t index, FileResult result) {
            finishUpTo(inputOf[index]);
            finish(inputOf[index], std::move(result));
        };
        if (jobs > 1) {
            validateInProcesses(m_host, runnable, jobs, keep(), take);
        } else {
            FileRunner runner(m_host, keep());
            for (std::size_t i = 0; i < runnable.size(); ++i) take(i, runner.run(runnable[i]));
        }
        finishUpTo(m_inputs.size());
        closeOutput();
        return m_status;
    }

private:
    // Inputs an earlier run has reported leave the run altogether.
    bool skipListed() {
        std::string error;
        const std::set<std::string> listed = listedInputs(m_line.skipListed, error);
        if (!error.empty()) {
            fail(error);
            return false;
        }
        std::erase_if(m_inputs, [&](const Input& input) {
            return input.reason.empty() && isListed(listed, input.path);
        });
        return true;
    }

    // Worker processes start from the bound plug-in as it is here, profile included.
    bool bindPlugin() {
        m_host.setPlugin(m_settings.pluginPath);
        if (!m_host.loadPlugin()) {
            fail("cannot load the plug-in '" + m_settings.pluginPath + "': " + m_host.loadError());
            return false;
        }
        if (m_line.profile && !selectProfile(*m_line.profile)) return false;
        return m_line.settings.empty() || applySettings();
    }

    bool selectProfile(const std::string& profile, const char* what = "the delivery profile") {
        const HRESULT selected = m_host.selectProfile(profile);
        if (selected == E_NOINTERFACE) {
            fail("the plug-in '" + m_settings.pluginPath + "' takes no delivery profile");
            return false;
        }
        if (FAILED(selected)) {
            fail("cannot use " + std::string(what) + " '" + profile + "'");
            return false;
        }
        return true;
    }

    // The settings in force with the --set ones on top, handed over as a profile of their own.
    bool applySettings() {
        for (const SettingRequest& setting : m_line.settings) {
            if (std::string error = settingError(setting); !error.empty()) {
                fail("--set " + std::to_string(setting.rule) + "=" + setting.value + ": " + error);
                return false;
            }
        }
        std::string listing;
        if (FAILED(m_host.ruleListing(listing))) {
            fail("the plug-in '" + m_settings.pluginPath + "' takes no delivery profile");
            return false;
        }
        const std::string name =
            (m_line.profile ? *m_line.profile : "saved settings") + " with --set";
        char path[] = "/tmp/lumtrace-validate-set-XXXXXX";
        const int fd = ::mkstemp(path);
        if (fd < 0) {
            fail("cannot write the settings of --set");
            return false;
        }
        const std::string text = profileWithSettings(listing, m_line.settings, name);
        const bool written =
            ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        const bool selected = written && selectProfile(path, "the settings of --set");
        ::unlink(path);
        if (!written) fail("cannot write the settings of --set");
        return selected;
    }

    int listRules() {
        if (!bindPlugin()) return m_status;
        std::string listing;
        if (FAILED(m_host.ruleListing(listing))) {
            fail("the plug-in '" + m_settings.pluginPath + "' cannot list its rules");
            return m_status;
        }
        m_out << formatRuleListing(listing);
        return m_status;
    }

    bool planReports() {
        std::vector<std::string> paths;
        for (const Input& input : m_inputs) paths.push_back(input.path);
        std::vector<ReportRequest> requests;
        if (m_line.xmlPath) requests.push_back({OutputFormat::Xml, *m_line.xmlPath});
        requests.insert(requests.end(), m_line.reports.begin(), m_line.reports.end());
        for (const ReportRequest& request : requests) {
            ReportPlan plan =
                cli::planReports(request.path, paths, reportExtension(request.format));
            if (!plan.error.empty()) {
                fail(plan.error);
                return false;
            }
            m_targets.push_back({request.format, std::move(plan.paths)});
        }
        return true;
    }

    // Only the table and the reports show single findings; a summary line needs the counts.
    bool needsFindings() const {
        return !(m_line.format == OutputFormat::Text && m_line.quiet) || !m_targets.empty();
    }

    // Places only for the machine formats; the table and the window's XML have no room for them.
    Keep keep() const {
        if (!needsFindings()) return Keep::Counts;
        const bool places =
            m_line.format != OutputFormat::Text ||
            std::any_of(m_targets.begin(), m_targets.end(),
                        [](const ReportTarget& t) { return t.format != OutputFormat::Xml; });
        return places ? Keep::FindingsAndPlaces : Keep::Findings;
    }

    bool needsRuleList() const {
        return m_line.format == OutputFormat::Junit ||
               std::any_of(m_targets.begin(), m_targets.end(),
                           [](const ReportTarget& t) { return t.format == OutputFormat::Junit; });
    }

    // Inputs that gave nothing to run, before Index, in their place in the order.
    void finishUpTo(std::size_t index) {
        for (; m_next < index; ++m_next) {
            FileResult result;
            result.reason = m_inputs[m_next].reason;
            finish(m_next, std::move(result));
        }
        m_next = index + 1;
    }

    void finish(std::size_t index, FileResult result) {
        const std::string& file = m_inputs[index].path;
        if (m_settings.showProgress && m_inputs.size() > 1) {
            m_err << m_settings.programName << ": [" << index + 1 << "/" << m_inputs.size() << "] "
                  << terminalText(file) << std::endl;
        }
        if (m_line.verbose)
            for (const std::string& line : result.hostLines) m_err << line << '\n';
        if (!m_line.quiet || m_line.verbose)
            for (const std::string& line : result.pluginLines)
                m_err << terminalText(file) << ": " << terminalText(line) << '\n';
        const FindingCounts counts = result.counts;
        m_totals.add(result.validated, counts);
        if (!result.validated) fail(file + ": " + result.reason);
        if (m_line.format == OutputFormat::Text) printText(file, result, counts);
        if (m_line.format == OutputFormat::Jsonl) {
            // Out is flushed per line: a run cut short leaves complete lines only.
            writeJsonLine(m_out, {file, fullPath(file), &result, &m_checks});
            m_out.flush();
        }
        writeReports(index, result);
        if (result.validated && isFailing(counts))
            m_status = std::max<int>(m_status, ExitErrorsFound);
        if (m_line.format != OutputFormat::Text && m_line.format != OutputFormat::Jsonl)
            m_results.push_back(std::move(result));
    }

    bool isFailing(const FindingCounts& counts) const {
        switch (m_line.failOn) {
            case FailOn::Error:
                return counts.errors > 0;
            case FailOn::Warning:
                return counts.errors + counts.warnings > 0;
            case FailOn::Never:
                break;
        }
        return false;
    }

    void printText(const std::string& file, const FileResult& result, const FindingCounts& counts) {
        if (m_shownFiles++ > 0 && !m_line.quiet) m_out << '\n';
        if (!result.validated) {
            m_out << terminalText(file) << ": not validated: " << terminalText(result.reason)
                  << '\n';
            return;
        }
        m_out << formatSummary(file, counts) << '\n';
        if (!m_line.quiet) m_out << formatFindingsTable(result.reports);
    }

    void writeReports(std::size_t index, const FileResult& result) {
        const std::string full = fullPath(m_inputs[index].path);
        for (const ReportTarget& target : m_targets) {
            std::string bytes;
            if (target.format == OutputFormat::Xml) {
                // The window's layout has no place for a file that was not validated.
                if (!result.validated) continue;
                bytes = validationhost::buildReportXml(full, result.reports);
            } else {
                bytes =
                    formatReport(target.format, {{m_inputs[index].path, full, &result, &m_checks}},
                                 m_rules, m_line.failOn);
            }
            // A report of an earlier run is replaced only once the new one is complete.
            const std::string& path = target.paths[index];
            const validationhost::FileWriteResult written =
                validationhost::writeFileAtomically(path, bytes, true);
            if (written != validationhost::FileWriteResult::Written)
                reportWriteFailure(path, written);
        }
    }

    // With --verbose the host's line comes first, as when the host saved the report itself.
    void reportWriteFailure(const std::string& path, validationhost::FileWriteResult written) {
        using validationhost::FileWriteResult;
        if (written == FileWriteResult::NotRegularFile) {
            platform::reportError(SAVE_REPORT_WHERE, "not a regular file.");
            fail("cannot write the report '" + path + "': not a regular file");
            return;
        }
        if (written == FileWriteResult::ReplaceFailed) {
            platform::reportError(SAVE_REPORT_WHERE, "cannot replace the existing file.");
        } else {
            platform::reportFailure(SAVE_REPORT_WHERE);
        }
        fail("cannot write the report '" + path + "'");
    }

    void closeOutput() {
        if (m_line.format == OutputFormat::Text) {
            if (m_inputs.size() < 2) return;
            if (!m_line.quiet) m_out << '\n';
            m_out << formatTotals(m_totals) << '\n';
            return;
        }
        if (m_line.format == OutputFormat::Jsonl) return;
        std::vector<ReportEntry> entries;
        for (std::size_t i = 0; i < m_results.size(); ++i)
            entries.push_back(
                {m_inputs[i].path, fullPath(m_inputs[i].path), &m_results[i], &m_checks});
        writeReport(m_out, m_line.format, entries, m_rules, m_line.failOn);
    }

    void fail(const std::string& message) {
        m_err << m_settings.programName << ": " << terminalText(message) << std::endl;
        m_status = ExitNotValidated;
    }

    const CommandLine& m_line;
    const BatchSettings& m_settings;
    std::istream& m_names;
    std::ostream& m_out;
    std::ostream& m_err;
    PluginHost m_host;
    std::vector<Input> m_inputs;
    std::vector<ReportTarget> m_targets;
    std::vector<int> m_rules;
    RunChecks m_checks;
    std::vector<FileResult> m_results;  // kept only for a machine format on Out
    BatchTotals m_totals;
    std::size_t m_next = 0;
    std::size_t m_shownFiles = 0;
    int m_status = ExitNoErrors;
};

}  // namespace

int runBatch(const CommandLine& line, const BatchSettings& settings, std::istream& names,
             std::ostream& out, std::ostream& err) {
    return Batch(line, settings, names, out, err).run();
}

}  // namespace cli
