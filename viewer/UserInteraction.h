#pragma once
// Every message box, confirmation, file and font dialog and URL open of the viewer goes through
// this seam, so tests can answer them from a script and no test ever opens a real dialog.

#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // Plain message box with OK ("Not valid EBU STL file").
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // Error box with OK ("There is no file loaded.").
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // Confirmation box with Yes and No; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // Message with one action button beside Cancel ("Open Anyway"); true for the action.
    virtual bool offer(QWidget* parent, const QString& text, const QString& action) = 0;
    // Empty when cancelled.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) = 0;
    // SelectedFilter, when given, gets the filter the user left chosen.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter = nullptr) = 0;
    // nullopt when cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
};

// The seam in force: the Qt implementation unless a test installed its own.
UserInteraction& userInteraction();
// Installs an implementation (not owned); nullptr restores the Qt one. Returns the previous one.
UserInteraction* setUserInteraction(UserInteraction* replacement);
