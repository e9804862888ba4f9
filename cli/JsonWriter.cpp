#include "JsonWriter.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

bool needsNoEscape(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x80 || c == '"' || c == '\\') return false;
    }
    return true;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    if (needsNoEscape(text)) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

void appendJsonValue(std::string& out, const json& value, int indent) {
    if (indent < 0) {
        out += value.dump(-1, ' ', false, json::error_handler_t::replace);
        return;
    }
    const std::string text = value.dump(2, ' ', false, json::error_handler_t::replace);
    const std::string margin(static_cast<std::size_t>(indent), ' ');
    for (const char c : text) {
        out += c;
        if (c == '\n') out += margin;
    }
}

void appendJsonBreak(std::string& out, int indent) {
    if (indent < 0) return;
    // One copy per break: reports write millions of them.
    static const std::string margin = '\n' + std::string(64, ' ');
    const auto width = static_cast<std::size_t>(indent) + 1;
    if (width <= margin.size()) {
        out.append(margin, 0, width);
        return;
    }
    out += '\n';
    out.append(width - 1, ' ');
}

JsonObjectWriter::JsonObjectWriter(std::string& out, int indent) : m_out(out), m_indent(indent) {
    m_out += '{';
}

JsonObjectWriter::~JsonObjectWriter() {
    if (!m_first) appendJsonBreak(m_out, m_indent);
    m_out += '}';
}

std::string& JsonObjectWriter::key(std::string_view name) {
    if (!m_first) m_out += ',';
    m_first = false;
    appendJsonBreak(m_out, m_indent < 0 ? -1 : m_indent + 2);
    // Keys are this program's own plain names: nothing to escape.
    m_out += '"';
    m_out += name;
    m_out += m_indent < 0 ? "\":" : "\": ";
    return m_out;
}

void JsonObjectWriter::value(std::string_view name, const json& value) {
    appendJsonValue(key(name), value, m_indent < 0 ? -1 : m_indent + 2);
}

void JsonObjectWriter::string(std::string_view name, std::string_view text) {
    appendJsonString(key(name), text);
}

}  // namespace cli
