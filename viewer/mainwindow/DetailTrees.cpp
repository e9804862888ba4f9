// The GSI and TTI detail trees.

#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>

#include "BlockDisplay.h"
#include "MainWindow.h"
#include "platform/Guarded.h"
#include "viewer/WaitCursor.h"

namespace {

// A tree line is a 36-character name, " : " and the value; room for values as long as a time
// code with its size ("00:00:12:23 (4 bytes)") shows most fields whole.
constexpr int shownLineCharacters = 36 + 3 + 22;
// The subtitle list keeps at least this much of the designed width.
constexpr int minimumListWidth = 360;

QTreeWidgetItem* addRoot(QTreeWidget* tree, const QString& text) {
    tree->clear();
    auto* root = new QTreeWidgetItem(tree, QStringList(text));
    root->setFlags(root->flags() | Qt::ItemIsEditable);
    return root;
}

void addChildren(QTreeWidgetItem* root, const QStringList& lines) {
    QList<QTreeWidgetItem*> items;
    items.reserve(lines.size());
    for (const QString& line : lines) {
        auto* item = new QTreeWidgetItem(QStringList(line));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        items << item;
    }
    root->addChildren(items);
}

}  // namespace

void MainWindow::fillGsiTree(const GeneralSubtitleInformation& gsi) {
    platform::guardedVoid("TForm1.UpdateTreeView_GSI", [&] {
        WaitCursor wait;
        QTreeWidgetItem* root = addRoot(m_gsiTree, gsiRootText);
        addChildren(root, gsiTreeLines(gsi, gsiTextCodePage()));
        m_gsiTree->expandAll();
    });
}

void MainWindow::fillTtiTree(StlReader* reader, std::uint32_t index) {
    refreshPreview(reader, static_cast<int>(index));
    platform::guardedVoid("TForm1.UpdateTreeView_TTI", [&] {
        WaitCursor wait;
        PTextAndTimingInformation block = nullptr;
        const bool have =
            reader && reader->getTextAndTimingInformation(index, &block) == S_OK && block;
        QTreeWidgetItem* root = addRoot(m_ttiTree, ttiRootText);
        if (!have) throw std::runtime_error("no block");
        addChildren(root, ttiTreeLines(*block, textCodePage()));
        m_ttiTree->expandAll();
    });
}

int MainWindow::detailPanelWidth() const {
    // Measured in the trees' own font, whichever face stands in for the designed one.
    const QFontMetrics metrics(m_gsiTree->font());
    const int text = metrics.horizontalAdvance(QString(shownLineCharacters, QLatin1Char('0')));
    // The root's and the children's indentation, the frame, a scroll bar and the item margins.
    const int chrome = 2 * m_gsiTree->indentation() + 2 * m_gsiTree->frameWidth() +
                       m_gsiTree->verticalScrollBar()->sizeHint().width() +
                       2 * metrics.averageCharWidth();
    return text + chrome;
}

void MainWindow::applyDefaultPanelWidths() {
    const int total = designedClientWidth - m_mainSplitter->handleWidth();
    const int detail = std::min(detailPanelWidth(), total - minimumListWidth);
    m_mainSplitter->setSizes({total - detail, detail});
}
