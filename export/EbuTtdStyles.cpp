#include "EbuTtdStyles.h"

#include <cstdio>

namespace ebuttd {

void Declarations::writeTo(pugi::xml_node parent, const char* element) const {
    for (const auto& [id, attributes] : m_entries) {
        pugi::xml_node node = parent.append_child(element);
        node.append_attribute("xml:id").set_value(id.c_str());
        for (const auto& [name, value] : attributes)
            node.append_attribute(name).set_value(value.c_str());
    }
}

const char* colourValue(subtitle::Colour colour) {
    static const char* const kValues[] = {"#000000", "#FF0000", "#00FF00", "#FFFF00",
                                          "#0000FF", "#FF00FF", "#00FFFF", "#FFFFFF"};
    return kValues[static_cast<int>(colour)];
}

const char* colourName(subtitle::Colour colour) {
    static const char* const kNames[] = {"black", "red",     "green", "yellow",
                                         "blue",  "magenta", "cyan",  "white"};
    return kNames[static_cast<int>(colour)];
}

std::string percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", fraction * 100);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    if (out == "-0") out = "0";
    return out + "%";
}

}  // namespace ebuttd
