#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <utility>

namespace cli {
namespace {

constexpr std::array<std::pair<OutputFormat, const char*>, 8> FORMAT_NAMES{{
    {OutputFormat::Text, "text"},
    {OutputFormat::Json, "json"},
    {OutputFormat::Junit, "junit"},
    {OutputFormat::Sarif, "sarif"},
    {OutputFormat::Csv, "csv"},
    {OutputFormat::Xml, "xml"},
    {OutputFormat::Jsonl, "jsonl"},
    {OutputFormat::Html, "html"},
}};

constexpr std::array<const char*, 7> FLAGS{"--help",      "--version", "--quiet",     "--verbose",
                                           "--recursive", "--null",    "--list-rules"};

// What each option with a value wants, for the message when it is missing.
constexpr std::array<std::pair<const char*, const char*>, 8> VALUE_OPTIONS{{
    {"--xml", "a path"},
    {"--format", "a format"},
    {"--report", "FORMAT:PATH"},
    {"--fail-on", "error, warning or never"},
    {"--jobs", "a number"},
    {"--profile", "a profile name or file"},
    {"--set", "RULE=VALUE"},
    {"--skip-listed", "a file"},
}};

std::optional<OutputFormat> formatNamed(const std::string& name) {
    for (const auto& [format, text] : FORMAT_NAMES)
        if (name == text) return format;
    return std::nullopt;
}

// Arguments CLI11 would read otherwise: a flag given a value ("--quiet=yes") is refused, not
// read as true or false, and an empty value ("--xml=") is not dropped in silence.
std::string earlyError(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        const std::size_t equals = argument.find('=');
        if (argument.rfind("--", 0) != 0 || equals == std::string::npos) continue;
        const std::string name = argument.substr(0, equals);
        if (std::find(FLAGS.begin(), FLAGS.end(), name) != FLAGS.end())
            return "unknown option '" + argument + "'";
        if (equals + 1 == argument.size())
            for (const auto& [option, wanted] : VALUE_OPTIONS)
                if (name == option) return "option " + name + " needs " + wanted;
    }
    return {};
}

// CLI11 names the option first ("--xml: 1 required TEXT missing").
std::string missingValueMessage(const std::string& cliMessage) {
    for (const auto& [name, wanted] : VALUE_OPTIONS)
        if (cliMessage.rfind(name, 0) == 0 ||
            (name == std::string("--jobs") && cliMessage.rfind("-j", 0) == 0))
            return std::string("option ") + name + " needs " + wanted;
    return cliMessage;
}

class Parser {
public:
    explicit Parser(ParseResult& result) : m_result(result), m_line(result.commandLine) {}

    void parse(const std::vector<std::string>& arguments) {
        if (std::string error = earlyError(arguments); !error.empty()) return fail(error);
        // After "--" everything is a file; CLI11 would keep the marker among the extras.
        const auto marker = std::find(arguments.begin(), arguments.end(), "--");
        CLI::App app;
        app.set_help_flag();
        app.allow_extras();
        app.add_flag("-h,--help", m_line.help);
        app.add_flag("--version", m_line.version);
        app.add_flag("-q,--quiet", m_line.quiet);
        app.add_flag("-v,--verbose", m_line.verbose);
        app.add_flag("-r,--recursive", m_line.recursive);
        app.add_flag("-0,--null", m_line.nulSeparated);
        app.add_flag("--list-rules", m_line.listRules);
        app.add_option("--xml", m_xml)->allow_extra_args(false);
        app.add_option("--format", m_format)->allow_extra_args(false);
        app.add_option("--report", m_reports)->allow_extra_args(false);
        app.add_option("--fail-on", m_failOn)->allow_extra_args(false);
        app.add_option("-j,--jobs", m_jobs)->allow_extra_args(false);
        app.add_option("--profile", m_profile)->allow_extra_args(false);
        app.add_option("--set", m_settings)->allow_extra_args(false);
        app.add_option("--skip-listed", m_line.skipListed)->allow_extra_args(false);
        app.add_option("files", m_line.files);
        std::vector<std::string> reversed(std::make_reverse_iterator(marker), arguments.rend());
        try {
            app.parse(reversed);
        } catch (const CLI::ParseError& error) {
            return fail(missingValueMessage(error.what()));
        }
        for (const std::string& extra : app.remaining())
            if (extra.size() > 1 && extra[0] == '-') return fail("unknown option '" + extra + "'");
        if (marker != arguments.end())
            m_line.files.insert(m_line.files.end(), marker + 1, arguments.end());
        takeValues();
        if (m_result.error.empty() && !m_line.help && !m_line.version && !m_line.listRules &&
            m_line.files.empty())
            fail("no file given");
    }

private:
    void takeValues() {
        if (m_xml.size() > 1) return fail("option --xml given more than once");
        if (m_xml.size() == 1) {
            if (m_xml[0].empty()) return fail("option --xml needs a path");
            m_line.xmlPath = m_xml[0];
        }
        if (m_format.size() > 1) return fail("option --format given more than once");
        if (!m_format.empty()) {
            const auto format = formatNamed(m_format[0]);
            if (!format || *format == OutputFormat::Xml)
                return fail("unknown format '" + m_format[0] +
                            "' (use text, json, jsonl, junit, sarif, csv or html)");
            m_line.format = *format;
        }
        for (const std::string& report : m_reports) {
            const std::size_t colon = report.find(':');
            const auto format = formatNamed(report.substr(0, colon));
            if (colon == std::string::npos || colon + 1 == report.size() || !format ||
                *format == OutputFormat::Text || *format == OutputFormat::Jsonl)
                return fail(
                    "option --report needs FORMAT:PATH with FORMAT json, junit, sarif, "
                    "csv, html or xml, not '" +
                    report + "'");
            m_line.reports.push_back({*format, report.substr(colon + 1)});
        }
        if (m_failOn.size() > 1) return fail("option --fail-on given more than once");
        if (!m_failOn.empty()) {
            const std::string& value = m_failOn[0];
            if (value == "error") {
                m_line.failOn = FailOn::Error;
            } else if (value == "warning") {
                m_line.failOn = FailOn::Warning;
            } else if (value == "never") {
                m_line.failOn = FailOn::Never;
            } else {
                return fail("option --fail-on needs error, warning or never, not '" + value + "'");
            }
        }
        if (m_profile.size() > 1) return fail("option --profile given more than once");
        if (m_profile.size() == 1) {
            if (m_profile[0].empty()) return fail("option --profile needs a profile name or file");
            m_line.profile = m_profile[0];
        }
        for (const std::string& setting : m_settings) {
            const std::size_t equals = setting.find('=');
            const std::string rule = setting.substr(0, std::min(equals, setting.size()));
            const bool digits =
                !rule.empty() && rule.size() < 5 &&
                std::all_of(rule.begin(), rule.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (equals == std::string::npos || !digits)
                return fail("option --set needs RULE=VALUE, not '" + setting + "'");
            m_line.settings.push_back({std::stoi(rule), setting.substr(equals + 1)});
        }
        if (!m_jobs.empty()) {
            const std::string& value = m_jobs.back();
            const bool digits = !value.empty() && value.size() < 5 &&
                                std::all_of(value.begin(), value.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
            if (!digits || std::stoi(value) < 1)
                return fail("option --jobs needs a number from 1 to 9999, not '" + value + "'");
            m_line.jobs = static_cast<unsigned>(std::stoi(value));
        }
    }

    void fail(std::string message) {
        if (m_result.error.empty()) m_result.error = std::move(message);
    }

    ParseResult& m_result;
    CommandLine& m_line;
    std::vector<std::string> m_xml, m_format, m_reports, m_failOn, m_jobs, m_profile, m_settings;
};

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult result;
    Parser(result).parse(arguments);
    return result;
}

const char* formatName(OutputFormat format) {
    for (const auto& [candidate, text] : FORMAT_NAMES)
        if (candidate == format) return text;
    return "text";
}

std::string versionText(const std::string& programName) {
    return programName + " " LUMTRACE_VERSION_TEXT "\n";
}

}  // namespace cli
