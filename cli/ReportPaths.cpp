#include "ReportPaths.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace cli {
namespace {

namespace fs = std::filesystem;

std::string Normalised(const fs::path& Path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(Path, error);
    return (error ? fs::absolute(Path, error) : canonical).lexically_normal().string();
}

// Picks Folder/Name, or Folder/Stem-2.xml and so on when that is taken.
std::string UniquePath(const fs::path& Folder, const std::string& Name,
                       std::set<std::string>& Taken) {
    const std::string stem = fs::path(Name).stem().string();
    fs::path candidate = Folder / Name;
    for (int n = 2; Taken.count(Normalised(candidate)); ++n)
        candidate = Folder / (stem + "-" + std::to_string(n) + ".xml");
    Taken.insert(Normalised(candidate));
    return candidate.string();
}

}  // namespace

std::string ReportFileName(const std::string& StlPath) {
    const std::string stem = fs::path(StlPath).filename().stem().string();
    return (stem.empty() ? std::string("report") : stem) + ".xml";
}

TReportPlan PlanReports(const std::string& XmlPath, const std::vector<std::string>& Files) {
    TReportPlan plan;
    std::set<std::string> taken;
    for (const std::string& file : Files) taken.insert(Normalised(file));

    std::error_code error;
    const bool isFolder = fs::is_directory(XmlPath, error);
    if (Files.size() == 1 && !isFolder) {
        if (taken.count(Normalised(XmlPath))) {
            plan.Error = "report '" + XmlPath + "' would replace the file to validate";
        } else {
            plan.Paths.push_back(XmlPath);
        }
        return plan;
    }
    if (!isFolder) {
        if (fs::exists(XmlPath, error)) {
            plan.Error = "'" + XmlPath + "' is not a folder (several files need a report folder)";
            return plan;
        }
        fs::create_directories(XmlPath, error);
        if (error) {
            plan.Error = "cannot create report folder '" + XmlPath + "': " + error.message();
            return plan;
        }
    }
    for (const std::string& file : Files)
        plan.Paths.push_back(UniquePath(XmlPath, ReportFileName(file), taken));
    return plan;
}

}  // namespace cli
