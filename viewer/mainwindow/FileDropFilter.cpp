#include "FileDropFilter.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "platform/Guarded.h"

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

FileDropFilter::FileDropFilter(QWidget* target, Handler onDrop)
    : QObject(target), m_target(target), m_onDrop(std::move(onDrop)) {
    m_target->setAcceptDrops(true);
    m_target->installEventFilter(this);
}

void FileDropFilter::detach() {
    if (!m_target) return;
    m_target->removeEventFilter(this);
    m_target->setAcceptDrops(false);
    m_target = nullptr;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_target) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (localFilesOf(drag->mimeData()).isEmpty()) return false;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = localFilesOf(drop->mimeData());
            if (files.isEmpty()) return false;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // The handler guards itself; nothing may escape into Qt's event loop.
            platform::guardedVoid("TFileDropFilter.Drop", [&] { m_onDrop(files); });
            return true;
        }
        default:
            return false;
    }
}
