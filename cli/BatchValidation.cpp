#include "BatchValidation.h"

#include <algorithm>
#include <chrono>

#include "FindingsTable.h"
#include "InputFile.h"
#include "RefusalReason.h"
#include "ReportPaths.h"
#include "viewer/validation/PluginHost.h"

namespace cli {
namespace {

// The window polls every 100 ms; a batch would spend most of its time asleep at that pace.
constexpr std::chrono::milliseconds POLL_INTERVAL{1};
constexpr const char* LOAD_TIMEOUT_FINDING = "[104]";

class TBatch {
public:
    TBatch(const TCommandLine& Line, const TBatchSettings& Settings, std::ostream& Out,
           std::ostream& Err)
        : FLine(Line), FSettings(Settings), FOut(Out), FErr(Err) {}

    int Run() {
        FHost.SetPlugin(FSettings.PluginPath);
        if (!FHost.LoadPlugin()) {
            Fail("cannot load the plug-in '" + FSettings.PluginPath + "': " + FHost.LoadError());
            return ExitNotValidated;
        }
        if (FLine.XmlPath) {
            TReportPlan plan = PlanReports(*FLine.XmlPath, FLine.Files);
            if (!plan.Error.empty()) {
                Fail(plan.Error);
                return ExitNotValidated;
            }
            FReportPaths = std::move(plan.Paths);
        }
        for (std::size_t i = 0; i < FLine.Files.size(); ++i) ValidateOne(i);
        return FStatus;
    }

private:
    void ValidateOne(std::size_t Index) {
        const std::string& file = FLine.Files[Index];
        if (FSettings.ShowProgress && FLine.Files.size() > 1) {
            FErr << FSettings.ProgramName << ": [" << Index + 1 << "/" << FLine.Files.size() << "] "
                 << TerminalText(file) << std::endl;
        }
        if (const std::string reason = UnreadableReason(file); !reason.empty()) {
            FailFile(file, reason);
            return;
        }
        FHost.SetFileName(FullPath(file));
        const TValidationOutcome outcome = FHost.ValidateToEnd(POLL_INTERVAL);
        const std::vector<TCustomReport> reports = FHost.Reports();
        if (outcome != TValidationOutcome::Completed) {
            FailFile(file, OutcomeText(outcome, file, reports));
            return;
        }
        const TFindingCounts counts = CountFindings(reports);
        if (FShownFiles++ > 0 && !FLine.Quiet) FOut << '\n';
        FOut << FormatSummary(file, counts) << '\n';
        if (!FLine.Quiet) FOut << FormatFindingsTable(reports);
        if (!FReportPaths.empty()) WriteReport(FReportPaths[Index]);
        if (counts.Errors > 0) FStatus = std::max<int>(FStatus, ExitErrorsFound);
    }

    void WriteReport(const std::string& Path) {
        // The report names the file by its full path, as the window's does. Every validated
        // file gets its report, one without findings too, and a report of an
        // earlier run is replaced only once the new one is complete.
        const TReportSaveResult saved = FHost.SaveReport(Path, true, true);
        if (saved != TReportSaveResult::Saved) Fail("cannot write the report '" + Path + "'");
    }

    static std::string OutcomeText(TValidationOutcome Outcome, const std::string& File,
                                   const std::vector<TCustomReport>& Reports) {
        switch (Outcome) {
            case TValidationOutcome::LoadFailed: {
                const bool timedOut =
                    std::any_of(Reports.begin(), Reports.end(), [](const TCustomReport& r) {
                        return r.ReportMessage.rfind(LOAD_TIMEOUT_FINDING, 0) == 0;
                    });
                if (timedOut) return "the plug-in timed out loading it";
                const std::string reason = RefusalReason(File);
                return "not an EBU STL file" + (reason.empty() ? "" : " (" + reason + ")");
            }
            case TValidationOutcome::PlayFailed:
                return "the validation could not be started";
            case TValidationOutcome::NoPlugin:
                return "no plug-in bound";
            default:
                return "the validation failed";
        }
    }

    void FailFile(const std::string& File, const std::string& Reason) {
        Fail(File + ": " + Reason);
    }

    void Fail(const std::string& Message) {
        FErr << FSettings.ProgramName << ": " << TerminalText(Message) << std::endl;
        FStatus = ExitNotValidated;
    }

    const TCommandLine& FLine;
    const TBatchSettings& FSettings;
    std::ostream& FOut;
    std::ostream& FErr;
    TPluginHost FHost;
    std::vector<std::string> FReportPaths;
    std::size_t FShownFiles = 0;
    int FStatus = ExitNoErrors;
};

}  // namespace

int RunBatch(const TCommandLine& Line, const TBatchSettings& Settings, std::ostream& Out,
             std::ostream& Err) {
    return TBatch(Line, Settings, Out, Err).Run();
}

}  // namespace cli
