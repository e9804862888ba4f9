#pragma once
// The choices of File > Export after the file name, as lumtrace-export takes them: the tables
// that decode the text, the programme start offset and comments. The format is the file type
// chosen in the save dialog.

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QComboBox;

// Code page choices besides a page number.
inline constexpr int exportListCodePage = -1;  // the tables the subtitle list uses now
inline constexpr int exportFileCodePage = -2;  // the file's own character code table

class ExportOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // ListCodePage names the page the list uses now, for the first choice's caption.
    ExportOptionsDialog(QWidget* parent, std::uint16_t listCodePage);

    void setCodePage(int choice);
    int codePage() const;
    void setFromProgrammeStart(bool on);
    bool fromProgrammeStart() const;
    void setComments(bool on);
    bool comments() const;

    QComboBox* codePageBox() const { return m_codePage; }
    QCheckBox* programmeStartBox() const { return m_programmeStart; }
    QCheckBox* commentsBox() const { return m_comments; }

private:
    QComboBox* m_codePage;
    QCheckBox* m_programmeStart;
    QCheckBox* m_comments;
};
