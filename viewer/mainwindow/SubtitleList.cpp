// The subtitle list: filling it from the reader and following its selection.

#include <unistd.h>

#include <QTreeWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"
#include "stl/STLTypes.h"
#include "viewer/hex/HexViewUtils_Memo.h"

namespace {

constexpr std::size_t ChunkBlocks = 512;

// Reads whole blocks in large chunks straight from the reader's descriptor: one read per block
// would cost a system call each, which dominates listing a file of 100,000 blocks. Every block
// present is listed, which may be more than the GSI announces.
void AppendRows(TSTLReader& Reader, std::uint16_t CodePage, TSubtitleRows& Rows) {
    const auto Present =
        static_cast<std::size_t>(std::max(0, Reader.GetTextAndTimingInformationTotalCount()));
    Rows.Reserve(Present);
    const int Fd = Reader.FileStream();
    if (Fd < 0) return;
    std::vector<std::uint8_t> Chunk(ChunkBlocks * TTI_BLOCK_SIZE);
    TTextAndTimingInformation Block{};
    for (std::size_t Index = 0; Index < Present;) {
        const std::size_t Wanted = std::min(ChunkBlocks, Present - Index);
        std::size_t Got = 0;
        while (Got < Wanted * TTI_BLOCK_SIZE) {
            const ssize_t N = ::pread(
                Fd, Chunk.data() + Got, Wanted * TTI_BLOCK_SIZE - Got,
                static_cast<off_t>(ttiBlockOffset(static_cast<std::uint32_t>(Index)) + Got));
            if (N < 0 && errno == EINTR) continue;
            if (N <= 0) break;
            Got += static_cast<std::size_t>(N);
        }
        const std::size_t Blocks = Got / TTI_BLOCK_SIZE;
        for (std::size_t K = 0; K < Blocks; ++K) {
            std::memcpy(Block.Bytes, Chunk.data() + K * TTI_BLOCK_SIZE, TTI_BLOCK_SIZE);
            Rows.Append(Block, CodePage);
        }
        if (Blocks < Wanted) return;  // the file shrank since it was opened
        Index += Blocks;
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
