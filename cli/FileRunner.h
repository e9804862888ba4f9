#pragma once
// Validates one file at a time through a bound plug-in host and collects everything the run
// produced: findings, why it was not validated, and the diagnostic lines of both sides.

#include <string>
#include <vector>

#include "FileResult.h"
#include "StderrCapture.h"
#include "host/PluginHost.h"

namespace cli {

// How much of a run a result keeps. Counts alone when nothing shows single findings: copying
// hundreds of thousands of messages costs more than the whole validation. Places only for the
// formats that show them: they read the file once more.
enum class Keep { Counts, Findings, FindingsAndPlaces };

class FileRunner {
public:
    explicit FileRunner(PluginHost& host, Keep keep = Keep::FindingsAndPlaces)
        : m_host(host),
          m_keepFindings(keep != Keep::Counts),
          m_locate(keep == Keep::FindingsAndPlaces) {}

    FileResult run(const std::string& file);

private:
    PluginHost& m_host;
    bool m_keepFindings;
    bool m_locate;
    StderrCapture m_capture;
};

}  // namespace cli
