#include "HexView.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractSlider>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <array>
#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "platform/Guarded.h"
#include "stl/StlUtils.h"
#include "viewer/FixedFont.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

// Sets the busy flag for a scope and clears it again however the scope is left.
class BusyScope {
public:
    explicit BusyScope(int& flag) : m_flag(flag) { m_flag = 1; }
    ~BusyScope() { m_flag = 0; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& m_flag;
};

// Reads up to Count bytes at Offset; fewer at the end of the file.
std::size_t readAt(int file, std::uint8_t* buffer, std::size_t count, std::int64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(file, buffer + done, count - done, offset + done);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("read failed");
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void appendOffsetColumn(QString& line, std::int64_t offset) {
    line += QLatin1String("0x");
    for (int shift = 60; shift >= 0; shift -= 4)
        line += QLatin1Char(hexDigits[(static_cast<std::uint64_t>(offset) >> shift) & 0xF]);
    line += QLatin1String("   ");
}

}  // namespace

bool hexTextLines(const std::uint8_t* buffer, std::int64_t length, QStringList* lines) {
    return guarded("MemToStrLines2", false, [&] {
        if (buffer == nullptr || lines == nullptr || length <= 0) return false;
        for (std::int64_t start = 0; start < length; start += hexlayout::bytesPerLine) {
            const int count =
                static_cast<int>(std::min<std::int64_t>(hexlayout::bytesPerLine, length - start));
            QString line;
            line.reserve(hexlayout::hexColumnWidth + hexlayout::bytesPerLine);
            for (int i = 0; i < count; ++i) {
                const std::uint8_t b = buffer[start + i];
                line += QLatin1Char(hexDigits[b >> 4]);
                line += QLatin1Char(hexDigits[b & 0xF]);
                line += QLatin1Char(' ');
            }
            line = line.leftJustified(hexlayout::hexColumnWidth, QLatin1Char(' '));
            for (int i = 0; i < count; ++i) line += QChar(hexDisplayChar(buffer[start + i]));
            lines->append(line);
        }
        return true;
    });
}

HexView::HexView() = default;

HexView::HexView(const std::string& fileName, QPlainTextEdit* memo, QScrollBar* scrollBar) {
    if (SUCCEEDED(init(memo, scrollBar))) openFile(fileName);
}

HexView::~HexView() {
    guardedVoid("THexView.Destroy", [&] {
        QObject::disconnect(m_scrollConnection);
        if (m_textView) m_textView->removeEventFilter(this);
        if (m_file >= 0) ::close(m_file);
        m_file = -1;
    });
}

HRESULT HexView::init(QPlainTextEdit* memo, QScrollBar* scrollBar) {
    return guarded("THexView.Init", E_FAIL, [&] {
        if (memo == nullptr || scrollBar == nullptr) throw std::invalid_argument("no controls");
        if (m_textView) m_textView->removeEventFilter(this);
        QObject::disconnect(m_scrollConnection);

        m_textView = memo;
        m_textView->setReadOnly(true);
        m_textView->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_textView->setFont(fixedPitchFont(QStringLiteral("Courier New"), 10));
        m_textView->installEventFilter(this);

        m_scrollBar = scrollBar;
        {
            BusyScope busy(m_busy);
            m_scrollBar->setPageStep(1);
            m_scrollBar->setSingleStep(1);
            m_scrollBar->setRange(0, hexlayout::scrollMax);
            m_scrollBar->setValue(0);
        }
        m_scrollConnection =
            connect(m_scrollBar, &QAbstractSlider::actionTriggered, this, [this](int action) {
                if (m_scrollBar) customScrollEvent(action, m_scrollBar->sliderPosition());
            });
        return S_OK;
    });
}

HRESULT HexView::openFile(const std::string& fileName) {
    return guarded("THexView.OpenFile", E_FAIL, [&] {
        closeFile();
        std::error_code ec;
        if (!std::filesystem::exists(fileName, ec)) return S_OK;
        // Non-blocking so a named pipe cannot hang the window; only regular files are shown.
        const int file = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (file < 0) throw std::runtime_error("open failed");
        struct stat info {};
        if (::fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(file);
            throw std::runtime_error("not a regular file");
        }
        m_file = file;
        m_lastRefreshOffset = -1;
        refreshFileData(0);
        return S_OK;
    });
}

HRESULT HexView::closeFile() {
    return guarded("THexView.CloseFile", E_FAIL, [&] {
        if (m_file >= 0) ::close(m_file);
        m_file = -1;
        if (m_textView) m_textView->clear();
        return S_OK;
    });
}

HRESULT HexView::done() {
    return S_OK;
}

std::int64_t HexView::fileSize() const {
    if (m_file < 0) return 0;
    struct stat info {};
    if (::fstat(m_file, &info) != 0) throw std::runtime_error("fstat failed");
    return info.st_size;
}

int HexView::clientHeight() const {
    return m_textView ? m_textView->viewport()->height() : 0;
}

void HexView::refreshFileData(std::int64_t offset) {
    guardedVoid("THexView.RefreshFileData", [&] {
        if (m_file < 0) return;
        const std::int64_t size = fileSize();
        if (offset < 0 || offset >= size) return;
        if (offset == m_lastRefreshOffset) return;

        const int lines = hexlayout::linesOnPage(clientHeight());
        const std::int64_t pageStart = hexlayout::lineStart(offset);
        std::array<std::uint8_t, hexlayout::pageBufferBytes> buffer{};
        const std::size_t read =
            readAt(m_file, buffer.data(), static_cast<std::size_t>(lines) * hexlayout::bytesPerLine,
                   pageStart);

        QStringList body;
        hexTextLines(buffer.data(), static_cast<std::int64_t>(read), &body);
        QString page;
        page.reserve(body.size() * (hexlayout::fullLineWidth + 1));
        for (qsizetype i = 0; i < body.size(); ++i) {
            if (i > 0) page += QLatin1Char('\n');
            appendOffsetColumn(page, pageStart + std::int64_t{hexlayout::bytesPerLine} * i);
            page += body[i];
        }
        // One replacement of the whole text, so the memo repaints once.
        if (m_textView) m_textView->setPlainText(page);
        m_lastRefreshOffset = offset;

        if (m_busy == 0) setBarPosition(hexlayout::scrollPosition(m_lastRefreshOffset, size));
    });
}

void HexView::rereadPage() {
    if (m_lastRefreshOffset < 0) return;
    const std::int64_t shown = m_lastRefreshOffset;
    m_lastRefreshOffset = -1;
    refreshFileData(shown);
    if (m_lastRefreshOffset < 0) m_lastRefreshOffset = shown;
}

void HexView::setBarPosition(int position) {
    if (!m_scrollBar) return;
    BusyScope busy(m_busy);
    m_scrollBar->setValue(position);
}

void HexView::onTextKeyPressed(int key, Qt::KeyboardModifiers modifiers) {
    guardedVoid("THexView.FMemoKeyDown", [&] {
        if (m_file < 0 || (modifiers & Qt::ShiftModifier)) return;
        using hexlayout::NavKey;
        std::optional<NavKey> move;
        switch (key) {
            case Qt::Key_Up:
                move = NavKey::LineUp;
                break;
            case Qt::Key_Down:
                move = NavKey::LineDown;
                break;
            case Qt::Key_PageUp:
                move = NavKey::PageUp;
                break;
            case Qt::Key_PageDown:
                move = NavKey::PageDown;
                break;
            case Qt::Key_Home:
                move = NavKey::Home;
                break;
            case Qt::Key_End:
                move = NavKey::End;
                break;
            default:
                return;
        }
        const auto target =
            hexlayout::moveTarget(*move, m_lastRefreshOffset, fileSize(), clientHeight());
        if (target) refreshFileData(*target);
    });
}

void HexView::customScrollEvent(int action, int trackPosition) {
    guardedVoid("THexView.CustomScrollEvent", [&] {
        if (m_file < 0 || m_busy == 1) return;
        switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                setBarPosition(goOneLineUp());
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                setBarPosition(goOneLineDown());
                break;
            case QAbstractSlider::SliderPageStepSub:
                setBarPosition(goOnePageUp());
                break;
            case QAbstractSlider::SliderPageStepAdd:
                setBarPosition(goOnePageDown());
                break;
            case QAbstractSlider::SliderMove: {
                const auto target = hexlayout::trackOffset(trackPosition, fileSize());
                if (!target) return;
                {
                    BusyScope busy(m_busy);
                    refreshFileData(*target);
                }
                if (m_textView) m_textView->setFocus();
                break;
            }
            default:
                break;
        }
    });
}

int HexView::moveTo(hexlayout::NavKey key) {
    if (m_file < 0) return 0;
    const std::int64_t size = fileSize();
    const auto target = hexlayout::moveTarget(key, m_lastRefreshOffset, size, clientHeight());
    if (!target) return 0;
    refreshFileData(*target);
    if (m_textView) m_textView->setFocus();
    return hexlayout::scrollPosition(*target, size);
}

int HexView::goOneLineUp() {
    return guarded("THexView.GoOneLineUp", 0, [&] { return moveTo(hexlayout::NavKey::LineUp); });
}

int HexView::goOneLineDown() {
    return guarded("THexView.GoOneLineDown", 0,
                   [&] { return moveTo(hexlayout::NavKey::LineDown); });
}

int HexView::goOnePageUp() {
    return guarded("THexView.GoOnePageUp", 0, [&] { return moveTo(hexlayout::NavKey::PageUp); });
}

int HexView::goOnePageDown() {
    return guarded("THexView.GoOnePageDown", 0,
                   [&] { return moveTo(hexlayout::NavKey::PageDown); });
}

bool HexView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_textView && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        onTextKeyPressed(key->key(), key->modifiers());
    }
    return false;  // the memo handles the key as well
}
