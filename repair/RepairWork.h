#pragma once
// What the fixes of one proposal share: the document, the times and header as the fixes made so
// far leave them, and the changes, one per field of a subtitle, block or the header, however many
// fixes move it.

#include <unordered_map>

#include "Repair.h"

namespace repair {

class RepairWork {
public:
    RepairWork(const subtitle::Document& document, const Options& options);

    const subtitle::Document& document() const { return m_document; }
    const Parameters& parameters() const { return m_options.parameters; }
    bool chosen(Fix fix) const { return has(m_options.fixes, fix); }
    int fps() const { return m_fps; }
    std::size_t size() const { return m_in.size(); }
    const subtitle::Subtitle& subtitle(std::size_t i) const { return m_document.subtitles[i]; }
    Place placeOf(std::size_t subtitle) const;

    // Times in frames as the fixes so far left them.
    std::int64_t in(std::size_t i) const { return m_in[i]; }
    std::int64_t out(std::size_t i) const { return m_out[i]; }
    // The header as the fixes so far left it.
    const GeneralSubtitleInformation& gsi() const { return m_gsi; }

    // False, listing the subtitle as not fixed, when Frames is outside the day.
    bool setIn(Fix fix, std::size_t i, std::int64_t frames, const std::string& why);
    bool setOut(Fix fix, std::size_t i, std::int64_t frames, const std::string& why);
    // Text is written left-aligned, padded with spaces; the field's old text shows as before.
    void setHeader(Fix fix, const StlField& field, const std::string& text, const std::string& why);
    // A header time code field (HHMMSSFF) set to Frames, which must lie within the day.
    void setHeaderTime(Fix fix, const StlField& field, std::int64_t frames, const std::string& why);
    void setNumber(Fix fix, std::size_t i, std::uint16_t number, const std::string& why);
    // A new text field (112 bytes) for Block, of subtitle I.
    void setText(Fix fix, std::size_t i, std::uint32_t block, const std::string& field,
                 const std::string& why);
    // A block's text field (112 bytes) as the fixes so far left it.
    std::string textField(std::uint32_t block) const;
    void notFixed(Fix fix, const Place& place, const std::string& field, const std::string& why);

    // Forgets changes a later fix undid.
    void dropUnchanged();
    bool hasChanges() const { return !m_proposal.changes.empty(); }
    // The changes that alter something, in the order they were first made.
    Proposal finish();

private:
    Change& changeFor(std::uint64_t key, Fix fix, const Place& place, const StlField& field,
                      const std::string& before, const std::string& why);
    void setTime(Fix fix, std::size_t i, const StlField& field, std::int64_t frames,
                 const std::string& why);

    const subtitle::Document& m_document;
    const Options& m_options;
    int m_fps;
    std::vector<std::int64_t> m_in, m_out;
    GeneralSubtitleInformation m_gsi;
    Proposal m_proposal;
    std::unordered_map<std::uint64_t, std::size_t> m_changeIndex;
    std::vector<std::uint64_t> m_keys;
    std::unordered_map<std::uint32_t, std::string>
        m_texts;  // changed text fields by block  // each change's key, in step with the changes
};

// The used text of a field with anything but printable ASCII shown as [XXh]; trailing 8Fh bytes
// left out.
std::string textFieldDisplay(const std::uint8_t* field);

}  // namespace repair
