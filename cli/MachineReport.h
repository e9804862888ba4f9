#pragma once
// The report formats of a whole run: JSON, JUnit XML, SARIF 2.1.0 and CSV for programs, HTML
// for people.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FileResult.h"
#include "JsonWriter.h"
#include "RunChecks.h"

namespace cli {

struct ReportEntry {
    std::string path;      // as given
    std::string fullPath;  // as the plug-in got it
    const FileResult* result = nullptr;
    const RunChecks* checks = nullptr;  // what the run checked; none leaves it out
};

using validationhost::ruleId;

// True when a finding of ReportType makes the run fail under --fail-on, so that the reports call
// failures what the exit status counts.
bool isFailure(std::int32_t reportType, FailOn failOn);

// Entries in input order. Rules lists the rules switched on, so that JUnit can show the ones
// that passed; rules that fired are added to it.
std::string formatReport(OutputFormat format, const std::vector<ReportEntry>& entries,
                         const std::vector<int>& rules, FailOn failOn = FailOn::Error);

// As formatReport, handed on to Out in pieces as it is written.
void writeReport(std::ostream& out, OutputFormat format, const std::vector<ReportEntry>& entries,
                 const std::vector<int>& rules, FailOn failOn = FailOn::Error);

std::string formatJson(const std::vector<ReportEntry>& entries);
// The object of one file as formatJson writes it, on one line with a line end: JSON Lines.
// Lines of a megabyte or more are handed on to Out in pieces.
void writeJsonLine(std::ostream& out, const ReportEntry& entry);
std::string formatSarif(const std::vector<ReportEntry>& entries, FailOn failOn = FailOn::Error);
std::string formatJunit(const std::vector<ReportEntry>& entries, const std::vector<int>& rules,
                        FailOn failOn = FailOn::Error);
std::string formatCsv(const std::vector<ReportEntry>& entries);
// Reads each validated file again for its header and the text of the subtitles findings name.
std::string formatHtml(const std::vector<ReportEntry>& entries);

// The long formats written into Out, handed on through Spill as they grow.
void writeJson(std::string& out, const std::vector<ReportEntry>& entries, const ReportSpill& spill);
void writeSarif(std::string& out, const std::vector<ReportEntry>& entries, FailOn failOn,
                const ReportSpill& spill);
void writeCsv(std::string& out, const std::vector<ReportEntry>& entries, const ReportSpill& spill);

}  // namespace cli
