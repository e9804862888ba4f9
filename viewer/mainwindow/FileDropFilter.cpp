#include "FileDropFilter.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "platform/Guarded.h"

QStringList LocalFilesOf(const QMimeData* Data) {
    QStringList Files;
    if (!Data || !Data->hasUrls()) return Files;
    for (const QUrl& Url : Data->urls())
        if (Url.isLocalFile()) Files << Url.toLocalFile();
    return Files;
}

TFileDropFilter::TFileDropFilter(QWidget* Target, Handler OnDrop)
    : QObject(Target), FTarget(Target), FOnDrop(std::move(OnDrop)) {
    FTarget->setAcceptDrops(true);
    FTarget->installEventFilter(this);
}

void TFileDropFilter::Detach() {
    if (!FTarget) return;
    FTarget->removeEventFilter(this);
    FTarget->setAcceptDrops(false);
    FTarget = nullptr;
}

bool TFileDropFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != FTarget) return false;
    switch (Event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* Drag = static_cast<QDragMoveEvent*>(Event);
            if (LocalFilesOf(Drag->mimeData()).isEmpty()) return false;
            Drag->setDropAction(Qt::CopyAction);
            Drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* Drop = static_cast<QDropEvent*>(Event);
            const QStringList Files = LocalFilesOf(Drop->mimeData());
            if (Files.isEmpty()) return false;
            Drop->setDropAction(Qt::CopyAction);
            Drop->accept();
            // The handler guards itself; nothing may escape into Qt's event loop.
            platform::guardedVoid("TFileDropFilter.Drop", [&] { FOnDrop(Files); });
            return true;
        }
        default:
            return false;
    }
}
