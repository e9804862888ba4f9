#pragma once
// Validates one file at a time through a bound plug-in host and collects everything the run
// produced: findings, why it was not validated, and the diagnostic lines of both sides.

#include <string>
#include <vector>

#include "FileResult.h"
#include "StderrCapture.h"
#include "host/PluginHost.h"

namespace cli {

class FileRunner {
public:
    // Without KeepFindings a validated file's result holds only the counts: copying hundreds
    // of thousands of messages costs more than the whole validation when nothing shows them.
    explicit FileRunner(PluginHost& host, bool keepFindings = true)
        : m_host(host), m_keepFindings(keepFindings) {}

    FileResult run(const std::string& file);

private:
    PluginHost& m_host;
    bool m_keepFindings;
    StderrCapture m_capture;
};

}  // namespace cli
