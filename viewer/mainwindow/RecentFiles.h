#pragma once
// File → Recent Files: the last files opened, newest first, kept in the viewer's settings under
// a value of their own so the window's other values stay as they are.

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QWidget;

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int maxFiles = 8;
    static constexpr const char* valueName = "RecentFiles";

    // Adds the submenu to File before Before, filled from the settings. Open is called with the
    // name of an entry chosen whose file still exists.
    RecentFiles(QWidget* window, QMenu* file, QAction* before,
                std::function<void(const QString&)> open);

    // A file was opened: it goes to the top, and the list is stored at once.
    void add(const QString& fileName);
    void clear();
    const QStringList& files() const { return m_files; }
    QMenu* menu() const { return m_menu; }
    QAction* clearAction() const { return m_clearAction; }

private:
    void load();
    void store();
    void rebuildMenu();
    void choose(const QString& fileName);

    QWidget* m_window;
    QMenu* m_menu;
    QAction* m_clearAction;
    std::function<void(const QString&)> m_open;
    QStringList m_files;
};
