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
bool hexTextLines(const std::uint8_t* buffer, std::int64_t length, QStringList* lines);

class HexView : public QObject {
    Q_OBJECT
public:
    // No controls, no file.
    HexView();
    // Init with the two controls, then OpenFile.
    HexView(const std::string& fileName, QPlainTextEdit* memo, QScrollBar* scrollBar);
    ~HexView() override;

    HexView(const HexView&) = delete;
    HexView& operator=(const HexView&) = delete;

    HRESULT init(QPlainTextEdit* memo, QScrollBar* scrollBar);
    // Closes any open file; a missing file leaves the view without one and succeeds.
    HRESULT openFile(const std::string& fileName);
    // Renders the page that holds Offset (nothing at or past the end of the file).
    void refreshFileData(std::int64_t offset);
    // Reads the page shown again, for bytes changed on disk since it was rendered.
    void rereadPage();
    HRESULT closeFile();
    HRESULT done();

    bool isFileOpen() const { return m_file >= 0; }
    std::int64_t lastRefreshOffset() const { return m_lastRefreshOffset; }
    // 1 while the view moves the bar itself or follows a thumb drag.
    int busy() const { return m_busy; }

    // The memo's key-down and the bar's scroll handlers; public so callers and tests can drive them
    // without synthesising events. Key and modifiers are Qt values.
    void onTextKeyPressed(int key, Qt::KeyboardModifiers modifiers);
    // Action is a QAbstractSlider::SliderAction; TrackPosition is used for thumb tracking.
    void customScrollEvent(int action, int trackPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int goOneLineUp();
    int goOneLineDown();
    int goOnePageUp();
    int goOnePageDown();
    int moveTo(hexlayout::NavKey key);
    int clientHeight() const;
    std::int64_t fileSize() const;
    void setBarPosition(int position);

    QPointer<QPlainTextEdit> m_textView;
    QPointer<QScrollBar> m_scrollBar;
    int m_file = -1;
    std::int64_t m_lastRefreshOffset = -1;
    int m_busy = 0;
    QMetaObject::Connection m_scrollConnection;
};
