// File → Export: the loaded file's subtitles as SubRip, WebVTT, EBU-TT-D or plain text, decoded
// with the code page the subtitle list uses now. The format follows the extension of the chosen
// name.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MainWindow.h"
#include "export/SubtitleExport.h"
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

        ExportOptions options;
        options.format = formatOf(target);
        options.codePage = textCodePage();
        const ExportResult result =
            exportStlFile(QFile::encodeName(fileName()).toStdString(), options);
        if (!result.ok) {
            userInteraction().showError(this, QString::fromStdString(result.error));
            return;
        }
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(result.text.data(), static_cast<qint64>(result.text.size())) !=
                static_cast<qint64>(result.text.size()) ||
            !out.flush())
            userInteraction().showError(this, QStringLiteral("%1 cannot be written.").arg(target));
    });
}
