// The subtitle list: filling it from the reader and following its selection.

#include <QTreeWidget>
#include <algorithm>

#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "platform/Guarded.h"
#include "stl/StlTypes.h"
#include "stl/TtiBlockCursor.h"
#include "viewer/WaitCursor.h"
#include "viewer/hex/HexView.h"

namespace {

// Every block present now is listed, which may be more than the GSI announces.
// The same pass finds which blocks make which subtitle, from their bytes alone.
void appendRows(StlReader& reader, std::uint16_t codePage, SubtitleRows& rows,
                SubtitleFacts& facts) {
    const std::int32_t present = std::max(0, reader.updateTotalCount());
    rows.reserve(static_cast<std::size_t>(present));
    TtiBlockCursor cursor(reader);
    PTextAndTimingInformation block = nullptr;
    for (std::int32_t index = 0; index < present; ++index) {
        if (cursor.get(static_cast<std::uint32_t>(index), &block) != S_OK || !block) return;
        rows.append(*block, codePage);
        facts.take(static_cast<std::uint32_t>(index), *block);
    }
}

}  // namespace

void MainWindow::fillSubtitleList(StlReader* reader) {
    WaitCursor wait;
    SubtitleRows rows;
    SubtitleFacts facts;
    try {
        facts.begin(reader ? reader->framesPerSecond() : 0,
                    reader ? std::size_t(std::max(0, reader->updateTotalCount())) : 0);
        if (reader) appendRows(*reader, textCodePage(), rows, facts);
    } catch (...) {
        // The rows read so far stay listed.
        platform::reportFailure("TForm1.UpdateListView_TTI");
    }
    // Also after a failure: the subtitles found so far are closed and counted.
    facts.finish();
    m_listModel->setRows(std::move(rows), std::move(facts));
    if (readingColumnShown()) m_listModel->ensureReadings();
    refreshFileSummary();
}

void MainWindow::refreshSubtitleList() {
    platform::guardedVoid(
        "TForm1.RefreshListView (probably no file loaded)",
        [&] {
            fillSubtitleList(m_stlReader.get());
            if (m_listModel->rowCount() > 0) {
                m_subtitleList->setFocus();
                m_subtitleList->setCurrentIndex(
                    m_listModel->index(0, SubtitleListModel::NumberColumn));
                fillTtiTree(m_stlReader.get(), m_listModel->blockAt(0));
            }
        },
        "vld:");
}

void MainWindow::refreshSelectedTti() {
    const int row = selectedRow();
    if (row >= 0) {
        if (row < m_listModel->rowCount())
            fillTtiTree(m_stlReader.get(), static_cast<std::uint32_t>(row));
        else
            m_ttiTree->clear();
    }
    m_subtitleList->viewport()->update();
}

void MainWindow::refreshHexViewPosition() {
    const int row = selectedRow();
    if (row >= 0 && row < m_listModel->rowCount() && m_hexView)
        m_hexView->refreshFileData(
            static_cast<std::int64_t>(ttiBlockOffset(static_cast<std::uint32_t>(row))));
}

void MainWindow::followSelectedRow() {
    platform::guardedVoid("TForm1.ListView1SelectItem", [&] {
        if (selectedRow() < 0) return;
        refreshSelectedTti();
        refreshHexViewPosition();
    });
}

void MainWindow::selectRow(int block) {
    if (block < 0 || block >= m_listModel->rowCount()) return;
    const QModelIndex index =
        m_listModel->index(m_listModel->rowOfBlock(static_cast<std::uint32_t>(block)),
                           SubtitleListModel::NumberColumn);
    m_subtitleList->setCurrentIndex(index);
    m_subtitleList->scrollTo(index);
    followSelectedRow();
}

void MainWindow::onSubtitleListMousePressed() {
    platform::guardedVoid("TForm1.ListView1MouseDown", [&] {
        refreshSelectedTti();
        refreshHexViewPosition();
    });
}

void MainWindow::onSubtitleListKeyReleased() {
    platform::guardedVoid("TForm1.ListView1KeyUp", [&] {
        refreshSelectedTti();
        refreshHexViewPosition();
    });
}
