#include "ListedInputs.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "InputFile.h"
#include "WorkerProcesses.h"
#include "host/HostText.h"

namespace cli {

std::set<std::string> listedInputs(const std::vector<std::string>& files, std::string& error) {
    std::set<std::string> listed;
    for (const std::string& file : files) {
        std::error_code missing;
        if (!std::filesystem::exists(file, missing)) continue;
        std::ifstream in(file, std::ios::binary);
        if (!in || std::filesystem::is_directory(file, missing)) {
            error = "cannot read the list '" + file + "'";
            return {};
        }
        for (std::string line; std::getline(in, line);) {
            const nlohmann::json item = nlohmann::json::parse(line, nullptr, false);
            if (!item.is_object() || !item.contains("path") || !item["path"].is_string()) continue;
            // Not a verdict on the file: its worker died, perhaps of something else.
            const auto validated = item.find("validated");
            const auto reason = item.find("reason");
            if (validated != item.end() && *validated == false && reason != item.end() &&
                *reason == WORKER_ENDED)
                continue;
            const std::string path = item["path"];
            listed.insert(path);
            listed.insert(fullPath(path));
        }
    }
    return listed;
}

bool isListed(const std::set<std::string>& listed, const std::string& path) {
    const std::string full = fullPath(path);
    for (const std::string* name : {&path, &full})
        if (listed.count(*name) > 0 || listed.count(validationhost::narrowToUtf8(*name)) > 0)
            return true;
    return false;
}

}  // namespace cli
