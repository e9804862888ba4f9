// The GSI and TTI detail trees.

#include <QTreeWidget>
#include <stdexcept>

#include "BlockDisplay.h"
#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"

namespace {

QTreeWidgetItem* AddRoot(QTreeWidget* Tree, const QString& Text) {
    Tree->clear();
    auto* Root = new QTreeWidgetItem(Tree, QStringList(Text));
    Root->setFlags(Root->flags() | Qt::ItemIsEditable);
    return Root;
}

void AddChildren(QTreeWidgetItem* Root, const QStringList& Lines) {
    QList<QTreeWidgetItem*> Items;
    Items.reserve(Lines.size());
    for (const QString& Line : Lines) {
        auto* Item = new QTreeWidgetItem(QStringList(Line));
        Item->setFlags(Item->flags() | Qt::ItemIsEditable);
        Items << Item;
    }
    Root->addChildren(Items);
}

}  // namespace

void TForm1::UpdateTreeView_GSI(const TGeneralSubtitleInformation& GSI) {
    platform::guardedVoid("TForm1.UpdateTreeView_GSI", [&] {
        TWaitCursor Wait;
        QTreeWidgetItem* Root = AddRoot(TreeView1, GSIRootText);
        AddChildren(Root, GSITreeLines(GSI));
        TreeView1->expandAll();
    });
}

void TForm1::UpdateTreeView_TTI(TSTLReader* Reader, std::uint32_t Index) {
    platform::guardedVoid("TForm1.UpdateTreeView_TTI", [&] {
        TWaitCursor Wait;
        PTextAndTimingInformation Block = nullptr;
        const bool Have =
            Reader && Reader->GetTextAndTimingInformation(Index, &Block) == S_OK && Block;
        QTreeWidgetItem* Root = AddRoot(TreeView2, TTIRootText);
        if (!Have) throw std::runtime_error("no block");
        AddChildren(Root, TTITreeLines(*Block, static_cast<std::uint16_t>(FCodePage)));
        TreeView2->expandAll();
    });
}
