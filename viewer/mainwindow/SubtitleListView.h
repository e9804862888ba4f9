#pragma once
// The subtitle list's view: a report-style list with grid lines that reports a mouse press and a
// key release after it has moved its own selection, so the window can follow the selected row.

#include <QTreeView>

class SubtitleListView : public QTreeView {
    Q_OBJECT
public:
    explicit SubtitleListView(QWidget* parent = nullptr);

signals:
    void mouseDown();
    void keyUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};
