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
    explicit FileRunner(PluginHost& host) : m_host(host) {}

    FileResult run(const std::string& file);

private:
    PluginHost& m_host;
    StderrCapture m_capture;
};

}  // namespace cli
