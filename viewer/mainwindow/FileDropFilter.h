#pragma once
// Accepts local files dropped on a widget (the subtitle list's viewport) and hands their paths, in
// the order the drop carries them, to a callback.

#include <QObject>
#include <QStringList>
#include <functional>

class TFileDropFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QStringList& FileNames)>;
    TFileDropFilter(QWidget* Target, Handler OnDrop);
    // Stops accepting drops on the target.
    void Detach();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* FTarget;
    Handler FOnDrop;
};

// Local file paths of a drop, in order; other URLs are left out.
QStringList LocalFilesOf(const class QMimeData* Data);
