// Tools → Hex Edit GSI / Hex Edit Selected TTI, and the reload after a saved edit.

#include "HexEditCommand.h"

#include <QFile>

#include "MainWindow.h"
#include "platform/Guarded.h"
#include "stl/StlTypes.h"
#include "viewer/UserInteraction.h"
#include "viewer/hex/HexEditDialog.h"
#include "viewer/hex/HexView.h"

namespace {

bool realHexEdit(const QString& fileName, const QString& additionalCaption, bool canModify,
                 std::int64_t offset, std::int64_t size, QWidget* parent) {
    return editFile(QFile::encodeName(fileName).toStdString(), additionalCaption.toStdString(),
                    canModify, offset, size, parent);
}

HexEditFunction& hexEditFunction() {
    static HexEditFunction function = realHexEdit;
    return function;
}

}  // namespace

HexEditFunction setHexEditFunction(HexEditFunction function) {
    HexEditFunction previous = hexEditFunction();
    hexEditFunction() = function ? std::move(function) : HexEditFunction(realHexEdit);
    return previous;
}

void MainWindow::onHexEditTriggered(int tag) {
    platform::guardedVoid("TForm1.HexEditClick", [&] {
        if (!stlReader()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        const int row = selectedRow();
        // The GSI block needs no row.
        if (tag == 1 && row < 0) {
            userInteraction().showError(this, QStringLiteral("There is no TTI selected."));
            return;
        }
        std::int64_t offset = 0;
        std::int64_t size = GSI_BLOCK_SIZE;
        QString label = QStringLiteral("GSI");
        if (tag == 1) {
            offset = static_cast<std::int64_t>(ttiBlockOffset(static_cast<std::uint32_t>(row)));
            size = TTI_BLOCK_SIZE;
            label = QStringLiteral("TTI #") + QString::number(row + 1);
        }
        const QString caption = QStringLiteral(" [") + label + QStringLiteral("]");
        if (!hexEditFunction()(fileName(), caption, true, offset, size, this)) return;
        if (!userInteraction().confirm(
                this, QStringLiteral("Do you want to reload the file with the new changes?"))) {
            // The list and the trees keep what they showed; the hex view shows the disk.
            if (hexView()) hexView()->rereadPage();
            return;
        }
        const QString name = fileName();
        // The row that was being edited stays selected, and the hex view stays on it.
        if (reloadFile(name)) selectRow(row);
    });
}
