#include "ComparedFile.h"

#include <QFile>
#include <deque>
#include <map>
#include <tuple>

#include "subtitle/CharacterDecoder.h"
#include "subtitle/Document.h"

namespace comparewindow {

namespace {

using SubtitleKey = std::tuple<int, std::string, std::string, bool>;

SubtitleKey keyOf(std::uint16_t number, const TimeCode& in, const TimeCode& out, bool comment) {
    return {number, formatTimeCode(in), formatTimeCode(out), comment};
}

}  // namespace

std::optional<compare::Side> readComparedSide(const QString& fileName, ComparedFile& file,
                                              QString& error) {
    const std::string path = QFile::encodeName(fileName).toStdString();
    file.fileName = fileName;
    file.check = checkStlFormat(path);
    if (file.check.verdict == FormatCheck::Verdict::Refused) {
        error = QStringLiteral("Cannot compare \"%1\": not valid EBU STL file").arg(fileName);
        if (!file.check.reason.empty())
            error += QStringLiteral("\n\n") + QString::fromStdString(file.check.reason);
        return std::nullopt;
    }
    std::string reason;
    std::optional<compare::Side> side = compare::loadSide(path, reason);
    file.reader = std::make_unique<StlReader>(StlVariant::Viewer);
    if (file.nonStandard()) file.reader->allowNonStandard(file.check.framesPerSecond);
    if (!side || file.reader->openFile(path, true) != S_OK) {
        error = QStringLiteral("Cannot compare \"%1\": the file cannot be read.").arg(fileName);
        if (!reason.empty()) error += QStringLiteral("\n\n") + QString::fromStdString(reason);
        file.reader.reset();
        return std::nullopt;
    }
    file.codePage = static_cast<std::uint16_t>(subtitle::textCodePage(side->gsi));
    return side;
}

void findEntryBlocks(const compare::Side& side, ComparedFile& file) {
    // Subtitles with the same number and times keep their file order among the entries (the
    // entries are sorted stably by time), so they are handed out in file order.
    const subtitle::DocumentFile read =
        subtitle::readDocument(QFile::encodeName(file.fileName).toStdString());
    std::map<SubtitleKey, std::deque<std::uint32_t>> blocks;
    for (const subtitle::Subtitle& s : read.document.subtitles)
        blocks[keyOf(s.number, s.in, s.out, s.comment)].push_back(s.firstBlock);
    file.entryBlocks.clear();
    for (const compare::Entry& e : side.entries) {
        auto& queue = blocks[keyOf(e.number, e.in, e.out, e.comment)];
        file.entryBlocks.push_back(queue.empty() ? -1 : std::int64_t(queue.front()));
        if (!queue.empty()) queue.pop_front();
    }
}

}  // namespace comparewindow
