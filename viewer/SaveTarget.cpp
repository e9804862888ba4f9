#include "SaveTarget.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "UserInteraction.h"

SaveTarget saveTargetAt(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) return SaveTarget::None;
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) return SaveTarget::Other;
    return SaveTarget::RegularFile;
}

bool confirmSaveTarget(QWidget* parent, const QString& path, SaveTarget target) {
    if (target == SaveTarget::Other) {
        userInteraction().showError(
            parent, QStringLiteral("%1 cannot be written: it is not a regular file.").arg(path));
        return false;
    }
    return target == SaveTarget::None ||
           userInteraction().confirm(
               parent, QStringLiteral("The file \"%1\" already exists.\nDo you want to replace it?")
                           .arg(QFileInfo(path).fileName()));
}
