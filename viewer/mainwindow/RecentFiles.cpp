// File → Recent Files.

#include "RecentFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "viewer/UserInteraction.h"

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

// Names are stored as their bytes, percent-encoded and joined by ';': a file name may hold any
// byte but '/' and NUL, so no plain separator would do, and the value stays one line of text.
QByteArray encodeList(const QStringList& files) {
    QByteArrayList parts;
    for (const QString& file : files) parts << QFile::encodeName(file).toPercentEncoding("/");
    return parts.join(';');
}

QStringList decodeList(const QByteArray& text) {
    QStringList files;
    for (const QByteArray& part : text.split(';'))
        if (!part.isEmpty()) files << QFile::decodeName(QByteArray::fromPercentEncoding(part));
    return files;
}

}  // namespace

RecentFiles::RecentFiles(QWidget* window, QMenu* file, QAction* before,
                         std::function<void(const QString&)> open)
    : QObject(window), m_window(window), m_open(std::move(open)) {
    m_menu = new QMenu(QStringLiteral("Recent &Files"), file);
    file->insertMenu(before, m_menu);
    m_clearAction = new QAction(QStringLiteral("Clear Recent Files"), this);
    connect(m_clearAction, &QAction::triggered, this, [this] { clear(); });
    load();
    rebuildMenu();
}

void RecentFiles::add(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > maxFiles) m_files.removeLast();
    store();
    rebuildMenu();
}

void RecentFiles::clear() {
    m_files.clear();
    store();
    rebuildMenu();
}

void RecentFiles::load() {
    platform::guardedVoid("TForm1.LoadRecentFiles", [&] {
        const auto key = platform::RegistryKey::open(settingsKey, false);
        std::string text;
        if (!key || !key->readString(valueName, text)) return;
        m_files = decodeList(QByteArray::fromStdString(text)).mid(0, maxFiles);
    });
}

void RecentFiles::store() {
    platform::guardedVoid("TForm1.SaveRecentFiles", [&] {
        auto key = platform::RegistryKey::open(settingsKey, true);
        if (key) key->writeString(valueName, encodeList(m_files).toStdString());
    });
}

void RecentFiles::rebuildMenu() {
    // Later, not now: the entry being chosen may be the one that asked for this.
    for (QAction* action : m_menu->actions()) {
        m_menu->removeAction(action);
        if (action != m_clearAction) action->deleteLater();
    }
    for (int i = 0; i < m_files.size(); ++i) {
        const QString file = m_files.at(i);
        // Numbered 1 to 8 as accelerators; an '&' in a name is shown, not taken as one.
        QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(file).replace(QLatin1Char('&'), QStringLiteral("&&")));
        m_menu->addAction(text, this, [this, file] { choose(file); })->setData(file);
    }
    m_menu->addSeparator();
    m_menu->addAction(m_clearAction);
    m_clearAction->setEnabled(!m_files.isEmpty());
}

void RecentFiles::choose(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) {
        m_files.removeAll(fileName);
        store();
        rebuildMenu();
        userInteraction().showError(
            m_window, QStringLiteral("Cannot find the file %1.\nIt has been removed from the "
                                     "Recent Files list.")
                          .arg(fileName));
        return;
    }
    m_open(fileName);
}
