#include "InputList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace cli {
namespace {

namespace fs = std::filesystem;

bool hasStlExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".stl";
}

// Regular files only: a folder named x.stl inside a walked folder is not an input.
void addFolder(const std::string& folder, bool recursive, std::vector<Input>& inputs) {
    std::vector<std::string> found;
    std::error_code error;
    auto collect = [&](const fs::directory_entry& entry) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && hasStlExtension(entry.path()))
            found.push_back(entry.path().string());
    };
    if (recursive) {
        for (fs::recursive_directory_iterator
                 it(folder, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error))
            collect(*it);
    } else {
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
            collect(*it);
    }
    if (error) {
        inputs.push_back({folder, "cannot read the folder (" + error.message() + ")"});
        return;
    }
    if (found.empty()) {
        inputs.push_back({folder, "no .stl file in the folder"});
        return;
    }
    std::sort(found.begin(), found.end());
    for (std::string& path : found) inputs.push_back({std::move(path), {}});
}

}  // namespace

std::vector<Input> expandInputs(const std::vector<std::string>& arguments, bool recursive,
                                bool nulSeparated, std::istream& names) {
    std::vector<Input> inputs;
    for (const std::string& argument : arguments) {
        std::error_code error;
        if (argument == "-") {
            std::string name;
            while (std::getline(names, name, nulSeparated ? '\0' : '\n')) {
                if (!nulSeparated && !name.empty() && name.back() == '\r') name.pop_back();
                if (!name.empty()) inputs.push_back({name, {}});
            }
        } else if (fs::is_directory(argument, error)) {
            addFolder(argument, recursive, inputs);
        } else {
            inputs.push_back({argument, {}});
        }
    }
    return inputs;
}

}  // namespace cli
