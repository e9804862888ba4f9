#pragma once
// Accepts local files dropped on a widget (the subtitle list's viewport) and hands their paths, in
// the order the drop carries them, to a callback.

#include <QObject>
#include <QStringList>
#include <functional>

class FileDropFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QStringList& fileNames)>;
    FileDropFilter(QWidget* target, Handler onDrop);
    // Stops accepting drops on the target.
    void detach();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_target;
    Handler m_onDrop;
};

// Local file paths of a drop, in order; other URLs are left out.
QStringList localFilesOf(const class QMimeData* data);
