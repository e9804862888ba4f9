// Save Report: choosing the file, the replace question and the messages around the writer. A name
// ending in .html (or .htm) gets the HTML report, any other the XML report; a name without an
// extension typed while the HTML filter was chosen gets ".html".

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "ValidationWindow.h"
#include "platform/Guarded.h"
#include "report/HtmlReport.h"
#include "viewer/UserInteraction.h"

namespace {

bool isHtmlName(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
           fileName.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
}

// The same page lumtrace-validate writes for one file; what was checked is the plug-in's
// settings as it listed them when the run began.
std::string htmlReport(const PluginHost& host, const QString& shownName,
                       const std::optional<std::string>& listing) {
    report::RunChecks checks;
    checks.version = report::programVersion();
    if (listing) report::addListedRules(checks, *listing);
    const std::vector<CustomReport> reports = host.reports();
    const std::vector<validationhost::FindingPlace> places =
        validationhost::locateFindings(host.fileName(), reports, host.reportList().blocks());
    report::HtmlOptions options;
    options.program = "Lumtrace";
    options.date = report::currentDate();
    return report::htmlReport(
        checks, {{shownName.toStdString(), host.fileName(), true, {}, &reports, &places}}, options);
}

}  // namespace

void ValidationWindow::btnSaveReportClick() {
    platform::guardedVoid("TMediaValidationForm.btnSaveReportClick", [&] {
        if (reportCount() == 0) {
            userInteraction().showMessage(this, QStringLiteral("Report list is empty."));
            return;
        }
        const QString htmlFilter = QStringLiteral("HTML Report (*.html)");
        QString chosenFilter;
        QString fileName =
            userInteraction().getSaveFileName(this, QStringLiteral("Save Report"), QString(),
                                              QStringLiteral("Report XML File (*.xml);;") +
                                                  htmlFilter + QStringLiteral(";;All Files (*)"),
                                              &chosenFilter);
        if (fileName.isEmpty()) return;
        if (chosenFilter == htmlFilter && QFileInfo(fileName).suffix().isEmpty())
            fileName += QStringLiteral(".html");
        saveReportAs(fileName);
    });
}

void ValidationWindow::saveReportAs(const QString& xmlFileName) {
    const std::string path = QFile::encodeName(xmlFileName).toStdString();
    struct stat info {};
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    const QString notRegular =
        QStringLiteral("Cannot save the report: \"%1\" is not a regular file.").arg(xmlFileName);
    // A folder, FIFO, device or socket (or a link to one) is never replaced, so nothing is asked.
    if (exists && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        userInteraction().showError(this, notRegular);
        return;
    }
    if (exists && !userInteraction().confirm(
                      this, QStringLiteral("The file \"%1\" already exists.\nDo you want to "
                                           "replace it?")
                                .arg(QFileInfo(xmlFileName).fileName()))) {
        return;
    }
    // An existing report is replaced only by a complete new one, so a failed save keeps it.
    const ReportSaveResult result =
        isHtmlName(xmlFileName)
            ? saveReportFile(path, exists,
                             [&] { return htmlReport(*this, m_displayFileName, m_runListing); })
            : saveReport(path, /*ReplaceExisting*/ exists);
    if (result == ReportSaveResult::NotRegularFile) {
        userInteraction().showError(this, notRegular);
        return;
    }
    QString message = QStringLiteral("Error saving report.");
    if (result == ReportSaveResult::Saved) message = QStringLiteral("Done");
    if (result == ReportSaveResult::ReplaceFailed)
        message = QStringLiteral("Cannot delete destination file.");
    userInteraction().showMessage(this, message);
}
