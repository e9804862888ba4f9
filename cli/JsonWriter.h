#pragma once
// JSON text written straight out, for the long findings arrays: a document in memory for
// hundreds of thousands of findings costs more than their validation. The layout is that of
// nlohmann's dump with an indent of 2, so the pieces mix with values dumped by it.

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <string_view>

namespace cli {

// Where a long report goes while it is written: text piles up in a string and, with a stream
// to go to, is handed on in pieces, so that hundreds of megabytes of findings never sit in
// memory at once. Without a stream the string ends up holding the whole report.
struct ReportSpill {
    std::ostream* sink = nullptr;
    // Hands Out on once it is large; writers only ever append, so any point will do.
    void operator()(std::string& out) const {
        if (sink && out.size() >= (std::size_t(1) << 20)) {
            sink->write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    }
};

// A JSON string as dump writes it (no ASCII escaping, invalid UTF-8 replaced).
void appendJsonString(std::string& out, std::string_view text);
// Value as dump(2) writes it at Indent spaces deep; with a negative Indent on one line, as
// dump() writes it.
void appendJsonValue(std::string& out, const nlohmann::ordered_json& value, int indent);
// A line end and Indent spaces; nothing for a negative Indent (everything on one line).
void appendJsonBreak(std::string& out, int indent);

// Members of an object, each on its own line at Indent + 2 spaces, or all on one line for a
// negative Indent. The writer opens the brace and closes it when it goes.
class JsonObjectWriter {
public:
    JsonObjectWriter(std::string& out, int indent);
    ~JsonObjectWriter();
    JsonObjectWriter(const JsonObjectWriter&) = delete;
    JsonObjectWriter& operator=(const JsonObjectWriter&) = delete;

    // The key and ": "; the caller writes the value.
    // Name must need no escaping: the writers use their own plain keys.
    std::string& key(std::string_view name);
    void value(std::string_view name, const nlohmann::ordered_json& value);
    void string(std::string_view name, std::string_view text);

private:
    std::string& m_out;
    int m_indent;
    bool m_first = true;
};

}  // namespace cli
