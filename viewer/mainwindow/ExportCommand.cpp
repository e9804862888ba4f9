// File → Export: the loaded file's subtitles as SubRip, WebVTT, EBU-TT-D or plain text, decoded
// with the code page the subtitle list uses now. The format follows the extension of the chosen
// name. An existing file is replaced only when the user says so, and only by a complete new one.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MainWindow.h"
#include "export/SubtitleExport.h"
#include "host/ValidationReportXml.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

namespace {

ExportFormat formatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("vtt")) return ExportFormat::Vtt;
    if (suffix == QLatin1String("xml")) return ExportFormat::EbuTtD;
    if (suffix == QLatin1String("txt")) return ExportFormat::Text;
    return ExportFormat::Srt;
}

enum class Existing { None, RegularFile, Other };

Existing existingAt(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return Existing::None;
    // A link counts as what it points to; a dangling one is still something to replace.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return Existing::Other;
    return Existing::RegularFile;
}

}  // namespace

void MainWindow::onExportTriggered() {
    platform::guardedVoid("TForm1.Export1Click", [&] {
        if (fileName().isEmpty()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        const QFileInfo source(fileName());
        const QString target = userInteraction().getSaveFileName(
            this, QStringLiteral("Export"),
            source.dir().filePath(source.completeBaseName() + ".srt"),
            QStringLiteral("SubRip (*.srt);;WebVTT (*.vtt);;EBU-TT-D (*.xml);;Plain text (*.txt)"));
        if (target.isEmpty()) return;
        const std::string targetPath = QFile::encodeName(target).toStdString();
        const QString notRegular =
            QStringLiteral("%1 cannot be written: it is not a regular file.").arg(target);
        const Existing existing = existingAt(targetPath);
        if (existing == Existing::Other) {
            userInteraction().showError(this, notRegular);
            return;
        }
        if (existing == Existing::RegularFile &&
            !userInteraction().confirm(
                this, QStringLiteral("The file \"%1\" already exists.\nDo you want to "
                                     "replace it?")
                          .arg(QFileInfo(target).fileName())))
            return;

        ExportOptions options;
        options.format = formatOf(target);
        options.codePage = textCodePage();
        const ExportResult result =
            exportStlFile(QFile::encodeName(fileName()).toStdString(), options);
        if (!result.ok) {
            userInteraction().showError(this, QString::fromStdString(result.error));
            return;
        }
        const validationhost::FileWriteResult written = validationhost::writeFileAtomically(
            targetPath, result.text, existing == Existing::RegularFile);
        if (written == validationhost::FileWriteResult::NotRegularFile)
            userInteraction().showError(this, notRegular);
        else if (written != validationhost::FileWriteResult::Written)
            userInteraction().showError(this, QStringLiteral("%1 cannot be written.").arg(target));
    });
}
