#include "RepairSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "platform/SafeReplace.h"
#include "viewer/SaveTarget.h"
#include "viewer/UserInteraction.h"

namespace repairwindow {

namespace {

bool sameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(b).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(a).canonicalFilePath();
}

bool unchangedOnDisk(const QString& fileName, const std::string& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray now = file.readAll();
    return now.size() == static_cast<qsizetype>(bytes.size()) &&
           std::memcmp(now.constData(), bytes.data(), bytes.size()) == 0;
}

// Whether the original may be replaced: asked, and refused with the reason where it may not.
bool mayReplaceOriginal(QWidget* parent, const QString& original, bool openedReadOnly,
                        const std::string& originalBytes) {
    const QString name = QFileInfo(original).fileName();
    if (openedReadOnly) {
        userInteraction().showError(
            parent, QStringLiteral("\"%1\" is a non-standard file, opened read-only. Choose "
                                   "another name for the repaired file.")
                        .arg(name));
        return false;
    }
    if (!QFileInfo(original).isWritable()) {
        userInteraction().showError(
            parent,
            QStringLiteral("\"%1\" is read-only. Choose another name for the repaired file.")
                .arg(name));
        return false;
    }
    if (!userInteraction().confirm(
            parent, QStringLiteral("Replace the original file \"%1\" with the repaired one?\nThe "
                                   "original is not kept.")
                        .arg(name)))
        return false;
    // The changes were worked out on the bytes read when the window opened; an edit saved since
    // would be lost.
    if (!unchangedOnDisk(original, originalBytes)) {
        userInteraction().showError(
            parent, QStringLiteral("\"%1\" has changed since the repair was proposed; nothing "
                                   "was written. Open Repair again to repair it as it is now.")
                        .arg(name));
        return false;
    }
    return true;
}

}  // namespace

QString saveRepairedFile(QWidget* parent, const QString& original, bool openedReadOnly,
                         const std::string& originalBytes, const std::string& repairedBytes) {
    const QFileInfo source(original);
    const QString target = userInteraction().getSaveFileName(
        parent, QStringLiteral("Save Repaired File"),
        source.dir().filePath(source.completeBaseName() + QStringLiteral(".fixed.stl")),
        QStringLiteral("EBU STL Files (*.stl);;All Files (*)"));
    if (target.isEmpty()) return {};
    const SaveTarget existing = saveTargetAt(target);
    if (existing != SaveTarget::Other && sameFile(original, target)) {
        if (!mayReplaceOriginal(parent, original, openedReadOnly, originalBytes)) return {};
    } else if (!confirmSaveTarget(parent, target, existing)) {
        return {};
    }
    const platform::ReplaceResult written = platform::replaceFile(
        QFile::encodeName(target).toStdString(), repairedBytes, existing != SaveTarget::None);
    if (!written) {
        QString reason;
        if (written.error)
            reason = QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(written.error));
        userInteraction().showError(parent,
                                    QStringLiteral("%1 cannot be written%2.").arg(target, reason));
        return {};
    }
    return target;
}

}  // namespace repairwindow
