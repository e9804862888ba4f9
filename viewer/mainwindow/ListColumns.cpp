// View > Columns: the subtitle model's columns of the list (duration, reading speed, rows,
// longest row, gap), each shown or hidden by the user and remembered under values of its own.
// They stand before the text, which keeps the rest of the width.

#include <QAction>
#include <QHeaderView>
#include <QMenu>

#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "platform/Registry.h"

namespace {

struct ColumnItem {
    int column;
    const char* caption;
    const char* value;  // settings value: 1 shown, 0 hidden
    int width;
};

constexpr ColumnItem columnItems[] = {
    {SubtitleListModel::DurationColumn, "&Duration", "ColumnDurationVisible", 64},
    {SubtitleListModel::CpsColumn, "Characters per &Second", "ColumnCpsVisible", 56},
    {SubtitleListModel::RowsColumn, "&Rows", "ColumnRowsVisible", 44},
    {SubtitleListModel::LongestRowColumn, "&Longest Row", "ColumnLongestRowVisible", 60},
    {SubtitleListModel::GapColumn, "&Gap to Next Subtitle", "ColumnGapVisible", 48},
};

}  // namespace

void MainWindow::createColumnsMenu(QMenu* view) {
    m_columnsMenu = view->addMenu(QStringLiteral("&Columns"));
    QHeaderView* header = m_subtitleList->header();
    for (const ColumnItem& item : columnItems) {
        header->moveSection(header->visualIndex(item.column),
                            header->visualIndex(SubtitleListModel::TextColumn));
        header->resizeSection(item.column, item.width);
        m_subtitleList->setColumnHidden(item.column, true);
        QAction* action = m_columnsMenu->addAction(QString::fromLatin1(item.caption));
        action->setCheckable(true);
        const int column = item.column;
        connect(action, &QAction::toggled, this, [this, column](bool on) {
            if (on && SubtitleListModel::needsReadings(column)) m_listModel->ensureReadings();
            m_subtitleList->setColumnHidden(column, !on);
            if (on && m_subtitleList->header()->sectionSize(column) == 0)
                m_subtitleList->header()->resizeSection(column, 56);
        });
        m_columnActions.push_back(action);
    }
    m_listModel->setReadingsProvider([this](SubtitleFacts& facts) {
        if (m_stlReader) facts.buildReadings(*m_stlReader, textCodePage());
    });
}

bool MainWindow::readingColumnShown() const {
    for (std::size_t i = 0; i < m_columnActions.size(); ++i)
        if (m_columnActions[i]->isChecked() &&
            SubtitleListModel::needsReadings(columnItems[i].column))
            return true;
    return false;
}

void MainWindow::loadColumnSettings(const platform::RegistryKey& key) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < m_columnActions.size(); ++i)
        if (key.readDWord(columnItems[i].value, value)) m_columnActions[i]->setChecked(value != 0);
}

void MainWindow::addColumnSettings(
    std::vector<std::pair<std::string, platform::RegValue>>& values) {
    for (std::size_t i = 0; i < m_columnActions.size(); ++i)
        values.emplace_back(columnItems[i].value,
                            platform::RegValue::fromDWord(m_columnActions[i]->isChecked() ? 1 : 0));
}
