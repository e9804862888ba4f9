#pragma once
// Validation on several processes at once. The plug-in writes its diagnostics straight to
// file descriptor 2, which a process has only one of; a process per job keeps each line with
// its file. The children are forked after the plug-in is bound, so each has its own copy of it.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "FileResult.h"
#include "FileRunner.h"
#include "host/PluginHost.h"

namespace cli {

// Why the files of a child that died were not validated; a later run with --skip-listed tries
// them again.
inline constexpr const char* WORKER_ENDED = "the validation process ended unexpectedly";

using ResultSink = std::function<void(std::size_t index, FileResult result)>;

// Validates Files on Jobs children; Sink gets every result in input order as soon as it and
// all before it are in. A child that dies leaves its files not validated.
// Keep as for FileRunner.
void validateInProcesses(PluginHost& host, const std::vector<std::string>& files, unsigned jobs,
                         Keep keep, const ResultSink& sink);

}  // namespace cli
