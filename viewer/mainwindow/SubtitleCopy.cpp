#include "SubtitleCopy.h"

#include <QApplication>
#include <QClipboard>

#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "stl/StlReader.h"
#include "subtitle/Document.h"
#include "viewer/preview/PreviewBlocks.h"

QStringList subtitleTextRows(const StlReader& reader, std::uint32_t index, std::uint16_t codePage) {
    const preview::Selection selection = preview::selectionAt(reader, index);
    if (selection.kind != preview::Selection::Kind::Subtitle) return {};
    const auto settings = subtitle::textSettings(reader.generalSubtitleInformation(), codePage);
    const subtitle::CharacterDecoder decoder(codePage);
    QStringList rows;
    for (const std::u16string& row :
         subtitle::plainRows(subtitle::subtitleRows(selection.parts.back(), decoder, settings)))
        rows << QString::fromStdU16String(row);
    return rows;
}

QString clipboardText(const QStringList& fields, const QStringList& rows) {
    QString text = fields.join(QLatin1Char('\t'));
    if (!fields.isEmpty()) text += QLatin1Char('\t');
    return text + rows.join(QLatin1Char('\n'));
}

// The selected row's subtitle; its number and time codes too unless the text column is the one
// the user is on.
void MainWindow::copySelectedSubtitle() {
    StlReader* reader = stlReader();
    const QModelIndex current = m_subtitleList->currentIndex();
    if (!reader || !current.isValid()) return;
    const int row = current.row();
    const QStringList rows = subtitleTextRows(*reader, m_listModel->blockAt(row), textCodePage());
    QStringList fields;
    if (current.column() != SubtitleListModel::TextColumn)
        for (const int column : {SubtitleListModel::NumberColumn, SubtitleListModel::TCInColumn,
                                 SubtitleListModel::TCOutColumn})
            fields << m_listModel->data(m_listModel->index(row, column)).toString();
    QApplication::clipboard()->setText(clipboardText(fields, rows));
}
