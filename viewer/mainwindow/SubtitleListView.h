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
    // Copy (Ctrl+C): the window knows what the row means.
    void copyRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};
