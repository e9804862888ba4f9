#pragma once
// Paged hex dump of a file in a read-only memo with a separate vertical scroll bar. The view keeps
// its own read handle on the file, reads one page per render and never writes.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

#include "HexLayout.h"
#include "platform/WinTypes.h"

class QPlainTextEdit;
class QScrollBar;

// Appends one line per 16 bytes: the hex column (padded to 50 characters) and the character
// column. False when Length <= 0, a pointer is missing, or on failure.
bool MemToStrLines2(const std::uint8_t* Buffer, std::int64_t Length, QStringList* Lines);

class THexView : public QObject {
    Q_OBJECT
public:
    // No controls, no file.
    THexView();
    // Init with the two controls, then OpenFile.
    THexView(const std::string& FileName, QPlainTextEdit* Memo, QScrollBar* ScrollBar);
    ~THexView() override;

    THexView(const THexView&) = delete;
    THexView& operator=(const THexView&) = delete;

    HRESULT Init(QPlainTextEdit* Memo, QScrollBar* ScrollBar);
    // Closes any open file; a missing file leaves the view without one and succeeds.
    HRESULT OpenFile(const std::string& FileName);
    // Renders the page that holds Offset (nothing at or past the end of the file).
    void RefreshFileData(std::int64_t Offset);
    HRESULT CloseFile();
    HRESULT Done();

    bool IsFileOpen() const { return FFile >= 0; }
    std::int64_t LastRefreshOffset() const { return FLastRefreshOffset; }
    // 1 while the view moves the bar itself or follows a thumb drag.
    int Busy() const { return FBusy; }

    // The memo's key-down and the bar's scroll handlers; public so callers and tests can drive them
    // without synthesising events. Key and modifiers are Qt values.
    void FMemoKeyDown(int Key, Qt::KeyboardModifiers Modifiers);
    // Action is a QAbstractSlider::SliderAction; TrackPosition is used for thumb tracking.
    void CustomScrollEvent(int Action, int TrackPosition);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    int GoOneLineUp();
    int GoOneLineDown();
    int GoOnePageUp();
    int GoOnePageDown();
    int MoveTo(hexlayout::NavKey Key);
    int ClientHeight() const;
    std::int64_t FileSize() const;
    void SetBarPosition(int Position);

    QPointer<QPlainTextEdit> FMemo;
    QPointer<QScrollBar> FScrollBar;
    int FFile = -1;
    std::int64_t FLastRefreshOffset = -1;
    int FBusy = 0;
    QMetaObject::Connection FScrollConnection;
};
