// The subtitle list: filling it from the reader and following its selection.

#include <QTreeWidget>
#include <algorithm>

#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"
#include "stl/STLTypes.h"
#include "stl/TTIBlockCursor.h"
#include "viewer/hex/HexViewUtils_Memo.h"

namespace {

// Every block present is listed, which may be more than the GSI announces.
void AppendRows(TSTLReader& Reader, std::uint16_t CodePage, TSubtitleRows& Rows) {
    const std::int32_t Present = std::max(0, Reader.GetTextAndTimingInformationTotalCount());
    Rows.Reserve(static_cast<std::size_t>(Present));
    TTTIBlockCursor Cursor(Reader);
    PTextAndTimingInformation Block = nullptr;
    for (std::int32_t Index = 0; Index < Present; ++Index) {
        if (Cursor.Get(static_cast<std::uint32_t>(Index), &Block) != S_OK || !Block) return;
        Rows.Append(*Block, CodePage);
    }
}

}  // namespace

void TForm1::UpdateListView_TTI(TSTLReader* Reader) {
    TWaitCursor Wait;
    TSubtitleRows Rows;
    try {
        if (Reader) AppendRows(*Reader, static_cast<std::uint16_t>(FCodePage), Rows);
    } catch (...) {
        // The rows read so far stay listed.
        platform::reportFailure("TForm1.UpdateListView_TTI");
    }
    ListModel->SetRows(std::move(Rows));
}

void TForm1::RefreshListView() {
    platform::guardedVoid(
        "TForm1.RefreshListView (probably no file loaded)",
        [&] {
            UpdateListView_TTI(FSTLReader.get());
            if (ListModel->rowCount() > 0) {
                ListView1->setFocus();
                ListView1->setCurrentIndex(ListModel->index(0, TSubtitleListModel::NumberColumn));
                UpdateTreeView_TTI(FSTLReader.get(), 0);
            }
        },
        "vld:");
}

void TForm1::RefreshSelectedTTI() {
    const int Row = SelectedRow();
    if (Row >= 0) {
        if (Row < ListModel->rowCount())
            UpdateTreeView_TTI(FSTLReader.get(), static_cast<std::uint32_t>(Row));
        else
            TreeView2->clear();
    }
    ListView1->viewport()->update();
}

void TForm1::RefreshHexViewPosition() {
    const int Row = SelectedRow();
    if (Row >= 0 && Row < ListModel->rowCount() && FHexView)
        FHexView->RefreshFileData(
            static_cast<std::int64_t>(ttiBlockOffset(static_cast<std::uint32_t>(Row))));
}

void TForm1::ListView1MouseDown() {
    platform::guardedVoid("TForm1.ListView1MouseDown", [&] {
        RefreshSelectedTTI();
        RefreshHexViewPosition();
    });
}

void TForm1::ListView1KeyUp() {
    platform::guardedVoid("TForm1.ListView1KeyUp", [&] {
        RefreshSelectedTTI();
        RefreshHexViewPosition();
    });
}
