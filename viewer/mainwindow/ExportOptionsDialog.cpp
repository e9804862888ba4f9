#include "ExportOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include "EncodingMenu.h"

ExportOptionsDialog::ExportOptionsDialog(QWidget* parent, std::uint16_t listCodePage)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export Options"));
    auto* layout = new QFormLayout(this);
    m_codePage = new QComboBox(this);
    m_codePage->addItem(
        QStringLiteral("As the subtitle list shows it (code page %1)").arg(listCodePage),
        exportListCodePage);
    m_codePage->addItem(QStringLiteral("The file's character code table"), exportFileCodePage);
    for (const EncodingItem& item : fixedEncodings)
        m_codePage->addItem(QString::fromLatin1(item.caption), item.tag);
    layout->addRow(QStringLiteral("&Text table:"), m_codePage);
    m_programmeStart =
        new QCheckBox(QStringLiteral("Time codes from the &programme start (subtract TCP)"), this);
    layout->addRow(m_programmeStart);
    m_comments = new QCheckBox(QStringLiteral("Export &comment subtitles too"), this);
    layout->addRow(m_comments);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

void ExportOptionsDialog::setCodePage(int choice) {
    const int at = m_codePage->findData(choice);
    m_codePage->setCurrentIndex(at < 0 ? 0 : at);
}

int ExportOptionsDialog::codePage() const {
    return m_codePage->currentData().toInt();
}

void ExportOptionsDialog::setFromProgrammeStart(bool on) {
    m_programmeStart->setChecked(on);
}

bool ExportOptionsDialog::fromProgrammeStart() const {
    return m_programmeStart->isChecked();
}

void ExportOptionsDialog::setComments(bool on) {
    m_comments->setChecked(on);
}

bool ExportOptionsDialog::comments() const {
    return m_comments->isChecked();
}
