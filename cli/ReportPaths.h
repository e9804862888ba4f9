#pragma once
// Where the XML reports of a batch go.

#include <string>
#include <vector>

namespace cli {

// Report name for an STL file: its name with the extension replaced by ".xml" (film.stl gives
// film.xml, film gives film.xml).
std::string reportFileName(const std::string& stlPath, const std::string& extension = ".xml");

struct ReportPlan {
    std::vector<std::string> paths;  // one per input file, in order
    std::string error;               // empty when the plan can be carried out
};

// One file: XmlPath is the report itself, or an existing folder that gets the report under
// ReportFileName. Several files: XmlPath is a folder (created when missing) with one report per
// file; a name met again gets "-2", "-3", ... before ".xml". No report ever takes the place of
// one of the input files.
// Extension replaces ".xml" for the other report formats.
ReportPlan planReports(const std::string& xmlPath, const std::vector<std::string>& files,
                       const std::string& extension = ".xml");

}  // namespace cli
