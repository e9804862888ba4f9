#include "ReportPaths.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace cli {
namespace {

namespace fs = std::filesystem;

std::string normalised(const fs::path& path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return (error ? fs::absolute(path, error) : canonical).lexically_normal().string();
}

// Picks Folder/Name, or Folder/Stem-2.xml and so on when that is taken.
std::string uniquePath(const fs::path& folder, const std::string& name,
                       const std::string& extension, std::set<std::string>& taken) {
    const std::string stem = name.substr(0, name.size() - extension.size());
    fs::path candidate = folder / name;
    for (int n = 2; taken.count(normalised(candidate)); ++n)
        candidate = folder / (stem + "-" + std::to_string(n) + extension);
    taken.insert(normalised(candidate));
    return candidate.string();
}

}  // namespace

std::string reportFileName(const std::string& stlPath, const std::string& extension) {
    const std::string stem = fs::path(stlPath).filename().stem().string();
    return (stem.empty() ? std::string("report") : stem) + extension;
}

ReportPlan planReports(const std::string& xmlPath, const std::vector<std::string>& files,
                       const std::string& extension) {
    ReportPlan plan;
    std::set<std::string> taken;
    for (const std::string& file : files) taken.insert(normalised(file));

    std::error_code error;
    const bool isFolder = fs::is_directory(xmlPath, error);
    if (files.size() == 1 && !isFolder) {
        if (taken.count(normalised(xmlPath))) {
            plan.error = "report '" + xmlPath + "' would replace the file to validate";
        } else {
            plan.paths.push_back(xmlPath);
        }
        return plan;
    }
    if (!isFolder) {
        if (fs::exists(xmlPath, error)) {
            plan.error = "'" + xmlPath + "' is not a folder (several files need a report folder)";
            return plan;
        }
        fs::create_directories(xmlPath, error);
        if (error) {
            plan.error = "cannot create report folder '" + xmlPath + "': " + error.message();
            return plan;
        }
    }
    for (const std::string& file : files)
        plan.paths.push_back(
            uniquePath(xmlPath, reportFileName(file, extension), extension, taken));
    return plan;
}

}  // namespace cli
