#include "HexViewUtils_Memo.h"

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
#include "stl/STLUtils.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// Sets the busy flag for a scope and clears it again however the scope is left.
class BusyScope {
public:
    explicit BusyScope(int& Flag) : flag_(Flag) { flag_ = 1; }
    ~BusyScope() { flag_ = 0; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& flag_;
};

// Reads up to Count bytes at Offset; fewer at the end of the file.
std::size_t ReadAt(int File, std::uint8_t* Buffer, std::size_t Count, std::int64_t Offset) {
    std::size_t done = 0;
    while (done < Count) {
        const ssize_t got = ::pread(File, Buffer + done, Count - done, Offset + done);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("read failed");
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void AppendOffsetColumn(QString& Line, std::int64_t Offset) {
    Line += QLatin1String("0x");
    for (int shift = 60; shift >= 0; shift -= 4)
        Line += QLatin1Char(HexDigits[(static_cast<std::uint64_t>(Offset) >> shift) & 0xF]);
    Line += QLatin1String("   ");
}

}  // namespace

bool MemToStrLines2(const std::uint8_t* Buffer, std::int64_t Length, QStringList* Lines) {
    return guarded("MemToStrLines2", false, [&] {
        if (Buffer == nullptr || Lines == nullptr || Length <= 0) return false;
        for (std::int64_t start = 0; start < Length; start += hexlayout::BytesPerLine) {
            const int count =
                static_cast<int>(std::min<std::int64_t>(hexlayout::BytesPerLine, Length - start));
            QString line;
            line.reserve(hexlayout::HexColumnWidth + hexlayout::BytesPerLine);
            for (int i = 0; i < count; ++i) {
                const std::uint8_t b = Buffer[start + i];
                line += QLatin1Char(HexDigits[b >> 4]);
                line += QLatin1Char(HexDigits[b & 0xF]);
                line += QLatin1Char(' ');
            }
            line = line.leftJustified(hexlayout::HexColumnWidth, QLatin1Char(' '));
            for (int i = 0; i < count; ++i) line += QChar(HexDisplayChar(Buffer[start + i]));
            Lines->append(line);
        }
        return true;
    });
}

THexView::THexView() = default;

THexView::THexView(const std::string& FileName, QPlainTextEdit* Memo, QScrollBar* ScrollBar) {
    if (SUCCEEDED(Init(Memo, ScrollBar))) OpenFile(FileName);
}

THexView::~THexView() {
    guardedVoid("THexView.Destroy", [&] {
        QObject::disconnect(FScrollConnection);
        if (FMemo) FMemo->removeEventFilter(this);
        if (FFile >= 0) ::close(FFile);
        FFile = -1;
    });
}

HRESULT THexView::Init(QPlainTextEdit* Memo, QScrollBar* ScrollBar) {
    return guarded("THexView.Init", E_FAIL, [&] {
        if (Memo == nullptr || ScrollBar == nullptr) throw std::invalid_argument("no controls");
        if (FMemo) FMemo->removeEventFilter(this);
        QObject::disconnect(FScrollConnection);

        FMemo = Memo;
        FMemo->setReadOnly(true);
        FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
        QFont font(QStringLiteral("Courier New"), 10);
        font.setStyleHint(QFont::TypeWriter);  // a fixed-pitch stand-in where that face is absent
        FMemo->setFont(font);
        FMemo->installEventFilter(this);

        FScrollBar = ScrollBar;
        {
            BusyScope busy(FBusy);
            FScrollBar->setPageStep(1);
            FScrollBar->setSingleStep(1);
            FScrollBar->setRange(0, hexlayout::ScrollMax);
            FScrollBar->setValue(0);
        }
        FScrollConnection =
            connect(FScrollBar, &QAbstractSlider::actionTriggered, this, [this](int Action) {
                if (FScrollBar) CustomScrollEvent(Action, FScrollBar->sliderPosition());
            });
        return S_OK;
    });
}

HRESULT THexView::OpenFile(const std::string& FileName) {
    return guarded("THexView.OpenFile", E_FAIL, [&] {
        CloseFile();
        std::error_code ec;
        if (!std::filesystem::exists(FileName, ec)) return S_OK;
        // Non-blocking so a named pipe cannot hang the window; only regular files are shown.
        const int file = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (file < 0) throw std::runtime_error("open failed");
        struct stat info {};
        if (::fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(file);
            throw std::runtime_error("not a regular file");
        }
        FFile = file;
        FLastRefreshOffset = -1;
        RefreshFileData(0);
        return S_OK;
    });
}

HRESULT THexView::CloseFile() {
    return guarded("THexView.CloseFile", E_FAIL, [&] {
        if (FFile >= 0) ::close(FFile);
        FFile = -1;
        if (FMemo) FMemo->clear();
        return S_OK;
    });
}

HRESULT THexView::Done() {
    return S_OK;
}

std::int64_t THexView::FileSize() const {
    if (FFile < 0) return 0;
    struct stat info {};
    if (::fstat(FFile, &info) != 0) throw std::runtime_error("fstat failed");
    return info.st_size;
}

int THexView::ClientHeight() const {
    return FMemo ? FMemo->viewport()->height() : 0;
}

void THexView::RefreshFileData(std::int64_t Offset) {
    guardedVoid("THexView.RefreshFileData", [&] {
        if (FFile < 0) return;
        const std::int64_t size = FileSize();
        if (Offset < 0 || Offset >= size) return;
        if (Offset == FLastRefreshOffset) return;

        const int lines = hexlayout::LinesOnPage(ClientHeight());
        const std::int64_t pageStart = hexlayout::LineStart(Offset);
        std::array<std::uint8_t, hexlayout::PageBufferBytes> buffer{};
        const std::size_t read =
            ReadAt(FFile, buffer.data(), static_cast<std::size_t>(lines) * hexlayout::BytesPerLine,
                   pageStart);

        QStringList body;
        MemToStrLines2(buffer.data(), static_cast<std::int64_t>(read), &body);
        QString page;
        page.reserve(body.size() * (hexlayout::FullLineWidth + 1));
        for (qsizetype i = 0; i < body.size(); ++i) {
            if (i > 0) page += QLatin1Char('\n');
            AppendOffsetColumn(page, pageStart + std::int64_t{hexlayout::BytesPerLine} * i);
            page += body[i];
        }
        // One replacement of the whole text, so the memo repaints once.
        if (FMemo) FMemo->setPlainText(page);
        FLastRefreshOffset = Offset;

        if (FBusy == 0) SetBarPosition(hexlayout::ScrollPosition(FLastRefreshOffset, size));
    });
}

void THexView::SetBarPosition(int Position) {
    if (!FScrollBar) return;
    BusyScope busy(FBusy);
    FScrollBar->setValue(Position);
}

void THexView::FMemoKeyDown(int Key, Qt::KeyboardModifiers Modifiers) {
    guardedVoid("THexView.FMemoKeyDown", [&] {
        if (FFile < 0 || (Modifiers & Qt::ShiftModifier)) return;
        using hexlayout::NavKey;
        std::optional<NavKey> move;
        switch (Key) {
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
            hexlayout::MoveTarget(*move, FLastRefreshOffset, FileSize(), ClientHeight());
        if (target) RefreshFileData(*target);
    });
}

void THexView::CustomScrollEvent(int Action, int TrackPosition) {
    guardedVoid("THexView.CustomScrollEvent", [&] {
        if (FFile < 0 || FBusy == 1) return;
        switch (Action) {
            case QAbstractSlider::SliderSingleStepSub:
                SetBarPosition(GoOneLineUp());
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                SetBarPosition(GoOneLineDown());
                break;
            case QAbstractSlider::SliderPageStepSub:
                SetBarPosition(GoOnePageUp());
                break;
            case QAbstractSlider::SliderPageStepAdd:
                SetBarPosition(GoOnePageDown());
                break;
            case QAbstractSlider::SliderMove: {
                const auto target = hexlayout::TrackOffset(TrackPosition, FileSize());
                if (!target) return;
                {
                    BusyScope busy(FBusy);
                    RefreshFileData(*target);
                }
                if (FMemo) FMemo->setFocus();
                break;
            }
            default:
                break;
        }
    });
}

int THexView::MoveTo(hexlayout::NavKey Key) {
    if (FFile < 0) return 0;
    const std::int64_t size = FileSize();
    const auto target = hexlayout::MoveTarget(Key, FLastRefreshOffset, size, ClientHeight());
    if (!target) return 0;
    RefreshFileData(*target);
    if (FMemo) FMemo->setFocus();
    return hexlayout::ScrollPosition(*target, size);
}

int THexView::GoOneLineUp() {
    return guarded("THexView.GoOneLineUp", 0, [&] { return MoveTo(hexlayout::NavKey::LineUp); });
}

int THexView::GoOneLineDown() {
    return guarded("THexView.GoOneLineDown", 0,
                   [&] { return MoveTo(hexlayout::NavKey::LineDown); });
}

int THexView::GoOnePageUp() {
    return guarded("THexView.GoOnePageUp", 0, [&] { return MoveTo(hexlayout::NavKey::PageUp); });
}

int THexView::GoOnePageDown() {
    return guarded("THexView.GoOnePageDown", 0,
                   [&] { return MoveTo(hexlayout::NavKey::PageDown); });
}

bool THexView::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == FMemo && Event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        FMemoKeyDown(key->key(), key->modifiers());
    }
    return false;  // the memo handles the key as well
}
