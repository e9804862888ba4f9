// Save Report: choosing the file, the replace question and the messages around the writer.

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "MediaValidationFrm.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

void TMediaValidationForm::btnSaveReportClick() {
    platform::guardedVoid("TMediaValidationForm.btnSaveReportClick", [&] {
        if (ReportCount() == 0) {
            userInteraction().showMessage(this, QStringLiteral("Report list is empty."));
            return;
        }
        const QString fileName = userInteraction().getSaveFileName(
            this, QStringLiteral("Save Report"), QString(),
            QStringLiteral("Report XML File (*.xml);;All Files (*)"));
        if (fileName.isEmpty()) return;
        SaveReportAs(fileName);
    });
}

void TMediaValidationForm::SaveReportAs(const QString& XMLFileName) {
    const std::string path = QFile::encodeName(XMLFileName).toStdString();
    struct stat info {};
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && !userInteraction().confirm(
                      this, QStringLiteral("The file \"%1\" already exists.\nDo you want to "
                                           "replace it?")
                                .arg(QFileInfo(XMLFileName).fileName()))) {
        return;
    }
    // An existing report is replaced only by a complete new one, so a failed save keeps it.
    const TReportSaveResult result = SaveReport(path, /*ReplaceExisting*/ exists);
    QString message = QStringLiteral("Error saving report.");
    if (result == TReportSaveResult::Saved) message = QStringLiteral("Done");
    if (result == TReportSaveResult::ReplaceFailed)
        message = QStringLiteral("Cannot delete destination file.");
    userInteraction().showMessage(this, message);
}
