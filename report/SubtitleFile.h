#pragma once
// A checked file read with the subtitle model, for what a report shows besides the findings: the
// header's essentials, and the subtitle a finding is about with its text and rows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "subtitle/Document.h"

namespace report {

// Header fields as a reader wants them, each ready to show.
struct GsiEssentials {
    std::string title;  // programme title and episode, original or else translated
    std::string codePage, characterTable, diskFormat, displayStandard, language;
    std::string startOfProgramme;  // HH:MM:SS:FF when it is eight digits, else as written
    std::size_t subtitles = 0;     // comments not counted
    std::size_t comments = 0;
    std::string duration;  // from the first in-time to the last out-time; empty when unknown
};

class SubtitleFile {
public:
    explicit SubtitleFile(const std::string& path);

    bool isRead() const { return m_read; }
    bool teletext() const { return m_settings.teletext; }
    GsiEssentials essentials() const;
    // The subtitle whose chain spans Block (0-based); null for user data and reserved blocks
    // outside a chain, and for none.
    const subtitle::Subtitle* subtitleAt(std::int32_t block) const;
    std::vector<subtitle::Row> rows(const subtitle::Subtitle& subtitle) const;
    // The rows that show text, as UTF-8 joined by line feeds.
    std::string text(const std::vector<subtitle::Row>& rows) const;

private:
    subtitle::DocumentFile m_file;
    bool m_read = false;
    subtitle::TextSettings m_settings;
    std::optional<subtitle::CharacterDecoder> m_decoder;
};

}  // namespace report
