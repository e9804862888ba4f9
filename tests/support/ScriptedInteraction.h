#pragma once
// A user-interaction seam for tests: records everything the program showed and answers from a
// script. Installed for the lifetime of the object.

#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <optional>

#include "viewer/UserInteraction.h"

namespace testsupport {

class ScriptedInteraction final : public UserInteraction {
public:
    ScriptedInteraction() : m_previous(setUserInteraction(this)) {}
    ~ScriptedInteraction() override { setUserInteraction(m_previous); }

    // What was shown, in order, as "message: <text>", "error: <text>", "confirm: <text>", "offer
    // <action>: <text>", "open: <caption>", "save: <caption>", "font", "url: <url>".
    QStringList shown;

    // Answers, consumed in order; when a queue is empty: No, cancel, cancel, cancel, false.
    std::deque<bool> confirmAnswers;
    std::deque<bool> offerAnswers;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> saveFilterAnswers;  // the filter each save dialog was left on
    std::deque<std::optional<QFont>> fontAnswers;
    bool openUrlResult = true;

    void showMessage(QWidget*, const QString& text) override { shown << "message: " + text; }
    void showError(QWidget*, const QString& text) override { shown << "error: " + text; }
    bool confirm(QWidget*, const QString& text) override {
        shown << "confirm: " + text;
        return take(confirmAnswers, false);
    }
    bool offer(QWidget*, const QString& text, const QString& action) override {
        shown << "offer " + action + ": " + text;
        return take(offerAnswers, false);
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString&,
                            const QString& filter) override {
        shown << "open: " + caption;
        lastFilter = filter;
        return take(openAnswers, QString());
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override {
        shown << "save: " + caption;
        if (selectedFilter) *selectedFilter = take(saveFilterAnswers, QString());
        lastFilter = filter;
        lastSaveDir = dir;
        return take(saveAnswers, QString());
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override {
        shown << "font";
        lastInitialFont = initial;
        return take(fontAnswers, std::optional<QFont>());
    }
    bool openUrl(const QUrl& url) override {
        shown << "url: " + url.toString();
        return openUrlResult;
    }

    QString lastFilter;
    QString lastSaveDir;  // the folder or proposed name a save dialog opened with
    QFont lastInitialFont;

private:
    template <class Q, class T>
    static T take(Q& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    UserInteraction* m_previous;
};

}  // namespace testsupport
