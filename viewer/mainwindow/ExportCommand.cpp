// File → Export: the loaded file's subtitles as SubRip, WebVTT, EBU-TT-D or plain text. The format
// follows the extension of the chosen name; the options dialog after it takes what the command
// line takes (text table, programme start offset, comments), and the choices are remembered. An
// existing file is replaced only when the user says so, and only by a complete new one. The
// window then says how many subtitles it wrote and what it left out.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "ExportOptionsDialog.h"
#include "MainWindow.h"
#include "export/SubtitleExport.h"
#include "host/ValidationReportXml.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "viewer/SaveTarget.h"
#include "viewer/UserInteraction.h"

namespace {

constexpr const char* formatValue = "ExportFormat";
constexpr const char* codePageValue = "ExportCodePage";
constexpr const char* commentsValue = "ExportComments";
constexpr const char* programmeStartValue = "ExportFromProgrammeStart";
constexpr const char* suffixes[] = {"srt", "vtt", "xml", "txt"};

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
        const int format = m_exportFormat >= 0 && m_exportFormat < 4 ? m_exportFormat : 0;
        const QString target = userInteraction().getSaveFileName(
            this, QStringLiteral("Export"),
            source.dir().filePath(source.completeBaseName() + QLatin1Char('.') +
                                  QLatin1String(suffixes[format])),
            QStringLiteral("SubRip (*.srt);;WebVTT (*.vtt);;EBU-TT-D (*.xml);;Plain text (*.txt)"));
        if (target.isEmpty()) return;
        const std::string targetPath = QFile::encodeName(target).toStdString();
        const QString notRegular =
            QStringLiteral("%1 cannot be written: it is not a regular file.").arg(target);
        const SaveTarget existing = saveTargetAt(target);
        if (!confirmSaveTarget(this, target, existing)) return;

        ExportOptionsDialog choices(this, textCodePage());
        choices.setCodePage(m_exportCodePage);
        choices.setFromProgrammeStart(m_exportFromProgrammeStart);
        choices.setComments(m_exportComments);
        if (choices.exec() != QDialog::Accepted) return;
        m_exportCodePage = choices.codePage();
        m_exportFromProgrammeStart = choices.fromProgrammeStart();
        m_exportComments = choices.comments();

        ExportOptions options;
        options.format = formatOf(target);
        m_exportFormat = static_cast<int>(options.format);
        if (m_exportCodePage == exportListCodePage)
            options.codePage = textCodePage();
        else if (m_exportCodePage != exportFileCodePage)
            options.codePage = static_cast<std::uint32_t>(m_exportCodePage);
        options.includeComments = m_exportComments;
        options.subtractStartOfProgramme = m_exportFromProgrammeStart;
        const ExportResult result =
            exportStlFile(QFile::encodeName(fileName()).toStdString(), options);
        if (!result.ok) {
            userInteraction().showError(this, QString::fromStdString(result.error));
            return;
        }
        const validationhost::FileWriteResult written = validationhost::writeFileAtomically(
            targetPath, result.text, existing == SaveTarget::RegularFile);
        if (written == validationhost::FileWriteResult::NotRegularFile) {
            userInteraction().showError(this, notRegular);
            return;
        }
        if (written != validationhost::FileWriteResult::Written) {
            userInteraction().showError(this, QStringLiteral("%1 cannot be written.").arg(target));
            return;
        }
        QString report =
            QStringLiteral("%1 %2 written to %3.")
                .arg(QLocale(QLocale::English).toString(static_cast<qulonglong>(result.written)),
                     result.written == 1 ? QStringLiteral("subtitle") : QStringLiteral("subtitles"),
                     QFileInfo(target).fileName());
        for (const std::string& warning : result.warnings)
            report += QLatin1Char('\n') + QString::fromStdString(warning);
        userInteraction().showMessage(this, report);
    });
}

void MainWindow::loadExportSettings(const platform::RegistryKey& key) {
    std::uint32_t value = 0;
    if (key.readDWord(formatValue, value) && value < 4) m_exportFormat = static_cast<int>(value);
    if (key.readDWord(codePageValue, value)) m_exportCodePage = static_cast<std::int32_t>(value);
    if (key.readDWord(commentsValue, value)) m_exportComments = value != 0;
    if (key.readDWord(programmeStartValue, value)) m_exportFromProgrammeStart = value != 0;
}

void MainWindow::addExportSettings(
    std::vector<std::pair<std::string, platform::RegValue>>& values) {
    const auto dword = [](int v) {
        return platform::RegValue::fromDWord(static_cast<std::uint32_t>(v));
    };
    values.emplace_back(formatValue, dword(m_exportFormat));
    values.emplace_back(codePageValue, dword(m_exportCodePage));
    values.emplace_back(commentsValue, dword(m_exportComments ? 1 : 0));
    values.emplace_back(programmeStartValue, dword(m_exportFromProgrammeStart ? 1 : 0));
}
