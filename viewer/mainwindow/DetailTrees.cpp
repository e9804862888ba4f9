// The GSI and TTI detail trees.

#include <QTreeWidget>
#include <stdexcept>

#include "BlockDisplay.h"
#include "MainWindow.h"
#include "platform/Guarded.h"
#include "viewer/WaitCursor.h"

namespace {

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
