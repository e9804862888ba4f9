// Reading the two files of File > Compare With... and opening the window on their comparison.

#include <QFileInfo>

#include "CompareWindow.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"

namespace comparewindow {

CompareWindow* compareWith(QWidget* parent, const QString& fileName) {
    const QString other = userInteraction().getOpenFileName(
        parent, QStringLiteral("Compare With"), QFileInfo(fileName).absolutePath(),
        QStringLiteral("EBU STL Files (*.stl);;All Files (*)"));
    if (other.isEmpty()) return nullptr;
    if (!QFileInfo(other).isFile()) {
        userInteraction().showError(parent, QStringLiteral("Cannot find the file %1.").arg(other));
        return nullptr;
    }
    WaitCursor wait;
    ComparedFile a, b;
    QString error;
    std::optional<compare::Side> sideA = readComparedSide(fileName, a, error);
    std::optional<compare::Side> sideB = sideA ? readComparedSide(other, b, error) : std::nullopt;
    if (!sideA || !sideB) {
        userInteraction().showError(parent, error);
        return nullptr;
    }
    compare::Comparison comparison =
        compare::compareSides(std::move(*sideA), std::move(*sideB), compare::Options{});
    findEntryBlocks(comparison.a, a);
    findEntryBlocks(comparison.b, b);
    auto* window = new CompareWindow(std::move(comparison), std::move(a), std::move(b), parent);
    window->show();
    return window;
}

}  // namespace comparewindow
