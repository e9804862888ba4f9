#pragma once
// The subtitle list's view: a report-style list with grid lines that reports a mouse press and a
// key release after it has moved its own selection, so the window can follow the selected row.

#include <QTreeView>

class TSubtitleListView : public QTreeView {
    Q_OBJECT
public:
    explicit TSubtitleListView(QWidget* Parent = nullptr);

signals:
    void MouseDown();
    void KeyUp();

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
};
