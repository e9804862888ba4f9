// The subtitle list: filling it from the reader and following its selection.

#include <QTreeWidget>
#include <algorithm>

#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"
#include "stl/STLTypes.h"
#include "viewer/hex/HexViewUtils_Memo.h"

void TForm1::UpdateListView_TTI(TSTLReader* Reader) {
    TWaitCursor Wait;
    TSubtitleRows Rows;
    try {
        if (Reader) {
            Rows.Reserve(static_cast<std::size_t>(
                std::max(0, Reader->GetTextAndTimingInformationTotalCount())));
            const auto CodePage = static_cast<std::uint16_t>(FCodePage);
            PTextAndTimingInformation Block = nullptr;
            for (std::uint32_t Index = 0;
                 Reader->GetTextAndTimingInformation(Index, &Block) == S_OK && Block; ++Index)
                Rows.Append(*Block, CodePage);
        }
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
