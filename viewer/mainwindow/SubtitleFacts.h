#pragma once
// What the subtitle list knows of the subtitles its blocks make, from the subtitle model: which
// block starts which subtitle and its times (found in the load pass, from bytes alone), and, made
// only once something asks for them (a column, Find), each subtitle's rows as read: their count,
// the longest, the visible characters the reading speed counts and a plain text to search.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stl/StlTypes.h"
#include "subtitle/Assembly.h"

class StlReader;

class SubtitleFacts {
public:
    struct Entry {
        std::uint32_t firstBlock = 0;
        std::int64_t in = 0;  // frames
        std::int64_t out = 0;
        bool comment = false;
        std::uint16_t number = 0;
    };
    struct Reading {
        int visible = 0;  // characters from the first to the last visible one of each row
        int rows = 0;     // rows that show text
        int longest = 0;  // visible characters of the longest row
    };

    // The load pass: takes every block in file order.
    void begin(int framesPerSecond, std::size_t blocks = 0);
    void take(std::uint32_t index, const TextAndTimingInformation& block);
    void finish();

    int framesPerSecond() const { return m_fps; }
    const std::vector<Entry>& subtitles() const { return m_subtitles; }
    // The subtitle a block starts, or -1 (later blocks of a chain, user data, reserved).
    int subtitleStartingAt(std::size_t block) const {
        return block < m_startOf.size() ? m_startOf[block] : -1;
    }
    std::optional<std::int64_t> duration(int subtitle) const;
    // Frames from its out-time to the next subtitle's in-time; comments have none and are passed.
    std::optional<std::int64_t> gapToNext(int subtitle) const;

    // Rows and texts: made once per load or code page, by reading the blocks again.
    bool hasReadings() const { return m_readingsBuilt; }
    void buildReadings(StlReader& reader, std::uint16_t codePage);
    void dropReadings();
    const Reading& reading(int subtitle) const { return m_readings[std::size_t(subtitle)]; }
    // Characters per second as the reading-speed rule counts them, rounded up to the hundredth.
    std::optional<double> charactersPerSecond(int subtitle) const;
    // Every subtitle's plain rows joined by spaces, one after the other with a zero between;
    // TextStart(i) is where subtitle I begins. Folded: the same with case and accents removed,
    // character for character.
    const std::u16string& plainTexts() const { return m_plain; }
    const std::u16string& foldedTexts() const { return m_folded; }
    std::size_t textStart(int subtitle) const { return m_textStarts[std::size_t(subtitle)]; }
    // The subtitle whose text holds position Offset of the joined texts.
    int subtitleAtText(std::size_t offset) const;

private:
    int m_fps = 25;
    std::vector<Entry> m_subtitles;
    std::vector<std::int32_t> m_startOf;
    std::vector<std::int32_t> m_nextShown;  // the next subtitle that is not a comment, or -1
    std::optional<subtitle::Assembler> m_assembler;

    bool m_readingsBuilt = false;
    std::vector<Reading> m_readings;
    std::vector<std::size_t> m_textStarts;
    std::u16string m_plain;
    std::u16string m_folded;
};

// The text folded for a search that ignores case and accents: one character for one, so that
// positions stay those of the text.
std::u16string foldedForSearch(std::u16string_view text);
