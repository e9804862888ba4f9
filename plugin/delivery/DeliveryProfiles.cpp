#include "DeliveryProfiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ModuleFolder.h"
#include "stl/ReportFunction.h"

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::optional<std::int32_t> reportType(const std::string& text) {
    const std::string t = lower(text);
    if (t == "info") return REPORT_TYPE_INFO;
    if (t == "warning") return REPORT_TYPE_WARNING;
    if (t == "error") return REPORT_TYPE_ERROR;
    return plainNumber(t);
}

std::optional<bool> flag(const std::string& text) {
    const std::string t = lower(text);
    if (t == "1" || t == "yes" || t == "on" || t == "true") return true;
    if (t == "0" || t == "no" || t == "off" || t == "false") return false;
    return std::nullopt;
}

void setError(std::string* error, int line, const std::string& what) {
    if (error) *error = "line " + std::to_string(line) + ": " + what;
}

}  // namespace

std::optional<DeliveryProfile> parseProfile(std::string_view text, std::string* error) {
    DeliveryProfile profile;
    for (const auto& rule : profile.settings.rules())
        profile.settings.find(rule.id)->enabled = false;
    std::istringstream lines{std::string(text)};
    std::string line;
    int lineNumber = 0;
    DeliveryRule* rule = nullptr;
    bool inProfile = false;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == ';' || content[0] == '#') continue;
        if (content.front() == '[') {
            if (content.back() != ']')
                return setError(error, lineNumber, "bad section"), std::nullopt;
            const std::string section = trimmed(content.substr(1, content.size() - 2));
            inProfile = lower(section) == "profile";
            rule = nullptr;
            if (inProfile) continue;
            const auto id = plainNumber(section);
            rule = id ? profile.settings.find(*id) : nullptr;
            if (!rule) return setError(error, lineNumber, "unknown rule " + section), std::nullopt;
            rule->enabled = true;  // naming a rule switches it on unless it says otherwise
            continue;
        }
        const auto equals = content.find('=');
        if (equals == std::string::npos)
            return setError(error, lineNumber, "expected key = value"), std::nullopt;
        const std::string key = lower(trimmed(content.substr(0, equals)));
        const std::string value = trimmed(content.substr(equals + 1));
        bool ok = true;
        if (inProfile && key == "name") {
            profile.name = value;
        } else if (inProfile && key == "key") {
            profile.key = value;
        } else if (rule && key == "enabled") {
            const auto on = flag(value);
            ok = on.has_value();
            if (ok) rule->enabled = *on;
        } else if (rule && key == "type") {
            const auto type = reportType(value);
            ok = type.has_value();
            if (ok) rule->reportType = *type;
        } else if (rule && key == "threshold") {
            if (!setThresholdFromText(*rule, value)) {
                const std::string allowed = rule->kind == ThresholdKind::None
                                                ? "it has no threshold"
                                                : "allowed is " + allowedThresholdText(*rule);
                return setError(error, lineNumber,
                                "bad threshold \"" + value + "\" for rule " +
                                    std::to_string(rule->id) + ": " + allowed),
                       std::nullopt;
            }
        } else {
            ok = false;
        }
        if (!ok) return setError(error, lineNumber, "bad entry " + key), std::nullopt;
    }
    if (profile.name.empty()) return setError(error, lineNumber, "no name"), std::nullopt;
    return profile;
}

std::optional<DeliveryProfile> readProfileFile(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    auto profile = parseProfile(text.str(), error);
    if (profile)
        profile->path = path;
    else if (error)
        *error = path + ": " + *error;
    return profile;
}

std::string shippedProfileDirectory() {
    return (moduleFolder() / "profiles").string();
}

std::string userProfileDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const fs::path base =
        config && *config ? fs::path(config) : fs::path(home ? home : ".") / ".config";
    return (base / "vantorel" / "sievra-profiles").string();
}

std::vector<DeliveryProfile> availableProfiles() {
    std::vector<DeliveryProfile> profiles;
    for (const std::string& dir : {shippedProfileDirectory(), userProfileDirectory()}) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir, ec))
            if (entry.path().extension() == ".ini") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files)
            if (auto profile = readProfileFile(file.string()))
                profiles.push_back(std::move(*profile));
    }
    return profiles;
}

std::optional<DeliveryProfile> findProfile(const std::string& nameOrFile, std::string* error) {
    for (auto& profile : availableProfiles())
        if (profile.key == nameOrFile || profile.name == nameOrFile) return profile;
    if (nameOrFile.find('/') == std::string::npos && !fs::exists(nameOrFile)) {
        if (error) *error = "no profile named " + nameOrFile;
        return std::nullopt;
    }
    return readProfileFile(nameOrFile, error);
}

const DeliveryProfile* matchingProfile(const DeliverySettings& settings,
                                       const std::vector<DeliveryProfile>& profiles) {
    // Thresholds and types of switched-off rules have no effect, so they do not count.
    const auto sameEffect = [](const DeliveryRule& a, const DeliveryRule& b) {
        return a.enabled == b.enabled &&
               (!a.enabled || (a.reportType == b.reportType &&
                               thresholdInHundredths(a) == thresholdInHundredths(b)));
    };
    for (const auto& profile : profiles)
        if (std::equal(profile.settings.rules().begin(), profile.settings.rules().end(),
                       settings.rules().begin(), settings.rules().end(), sameEffect))
            return &profile;
    return nullptr;
}

void applyProfile(const DeliveryProfile& profile, DeliverySettings& settings) {
    settings = profile.settings;
}
