#pragma once
// The find strip under the subtitle list and the trees: what to look for, whether case and accents
// count, and where the search stands ("3 of 41", a wrap, no match). Escape closes it; Return finds
// the next match, Shift+Return the previous one. The window does the searching.

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QString text() const;
    bool ignoreCaseAndAccents() const;
    void setIgnoreCaseAndAccents(bool on);
    // Shows the strip with the text selected, ready to type over.
    void open();
    void setStatus(const QString& status);
    QString status() const;

    QLineEdit* edit() const { return m_edit; }
    QCheckBox* ignoreCaseBox() const { return m_ignoreCase; }

signals:
    // The text or the option changed: search again from the selected row.
    void searchChanged();
    void findRequested(bool backwards);
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_edit;
    QCheckBox* m_ignoreCase;
    QLabel* m_status;
};
