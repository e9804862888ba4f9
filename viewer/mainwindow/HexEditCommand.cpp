// Tools → Hex Edit GSI / Hex Edit Selected TTI, and the reload after a saved edit.

#include "HexEditCommand.h"

#include <QFile>

#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"
#include "stl/STLTypes.h"
#include "viewer/UserInteraction.h"
#include "viewer/hex/HexEditUtil.h"

namespace {

bool RealHexEdit(const QString& FileName, const QString& AdditionalCaption, bool CanModify,
                 std::int64_t Offset, std::int64_t Size, QWidget* Parent) {
    return EditFile(QFile::encodeName(FileName).toStdString(), AdditionalCaption.toStdString(),
                    CanModify, Offset, Size, Parent);
}

THexEditFunction& HexEditFunction() {
    static THexEditFunction Function = RealHexEdit;
    return Function;
}

}  // namespace

THexEditFunction SetHexEditFunction(THexEditFunction Function) {
    THexEditFunction Previous = HexEditFunction();
    HexEditFunction() = Function ? std::move(Function) : THexEditFunction(RealHexEdit);
    return Previous;
}

void TForm1::HexEditClick(int Tag) {
    platform::guardedVoid("TForm1.HexEditClick", [&] {
        if (!STLReader()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        const int Row = SelectedRow();
        if (Row < 0) {
            userInteraction().showError(this, QStringLiteral("There is no TTI selected."));
            return;
        }
        std::int64_t Offset = 0;
        std::int64_t Size = GSI_BLOCK_SIZE;
        QString Label = QStringLiteral("GSI");
        if (Tag == 1) {
            Offset = static_cast<std::int64_t>(ttiBlockOffset(static_cast<std::uint32_t>(Row)));
            Size = TTI_BLOCK_SIZE;
            Label = QStringLiteral("TTI #") + QString::number(Row + 1);
        }
        const QString Caption = QStringLiteral(" [") + Label + QStringLiteral("]");
        if (!HexEditFunction()(FileName(), Caption, true, Offset, Size, this)) return;
        if (!userInteraction().confirm(
                this, QStringLiteral("Do you want to reload the file with the new changes?")))
            return;
        TWaitCursor Wait;
        const QString Name = FileName();
        UnloadFile();
        LoadFile(Name);
    });
}
