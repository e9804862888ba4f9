// The main window's settings in the per-user registry store: read once before the window first
// appears, written once when it closes.

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "ListViewFont.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"

namespace {

constexpr const char* SettingsKey = "Software\\Vantorel\\Lumtrace";

// Reads one 32-bit value and applies it; a missing or mistyped value, or one that cannot be
// applied, is skipped without a word.
void ReadInt(const platform::RegistryKey& Key, const char* Name,
             const std::function<void(std::int32_t)>& Apply) {
    try {
        std::uint32_t Value = 0;
        if (Key.readDWord(Name, Value)) Apply(static_cast<std::int32_t>(Value));
    } catch (...) {
    }
}

// True when the middle of the window's top edge, where it is grabbed to move it, lies on a
// screen.
bool TitleBarOnScreen(const QRect& Outer) {
    return QGuiApplication::screenAt(QPoint(Outer.x() + Outer.width() / 2, Outer.y() + 8)) !=
           nullptr;
}

platform::RegValue Int(std::int32_t Value) {
    return platform::RegValue::fromDWord(static_cast<std::uint32_t>(Value));
}

}  // namespace

void TForm1::LoadRegistrySettings() {
    platform::guardedVoid("TForm1.LoadRegistrySettings", [&] {
        const auto Key = platform::RegistryKey::open(SettingsKey, false);
        if (!Key) {
            CentreWindow();
            return;
        }
        int Top = y(), Left = x();
        ReadInt(*Key, "FormTop", [&](std::int32_t V) { Top = V; });
        ReadInt(*Key, "FormLeft", [&](std::int32_t V) { Left = V; });
        move(Left, Top);
        ReadInt(*Key, "FormHeight", [&](std::int32_t V) {
            if (V > 0) FStoredOuterHeight = V;
        });
        ReadInt(*Key, "FormWidth", [&](std::int32_t V) {
            if (V > 0) FStoredOuterWidth = V;
        });
        ApplyStoredOuterSize();
        // A place no screen shows (another machine's monitor, a damaged value) would leave a
        // window the user cannot reach.
        if (!TitleBarOnScreen(frameGeometry())) {
            CentreWindow();
            // A window taller than the screen still keeps its title bar on it.
            if (!TitleBarOnScreen(frameGeometry()) && screen())
                move(x(), screen()->availableGeometry().y());
        }
        QHeaderView* Header = ListView1->header();
        ReadInt(*Key, "OffsetColWidth", [&](std::int32_t V) {
            Header->resizeSection(TSubtitleListModel::CaptionColumn, std::max(0, V));
        });
        ReadInt(*Key, "LenColWidth", [&](std::int32_t V) {
            Header->resizeSection(TSubtitleListModel::NumberColumn, std::max(0, V));
        });
        ReadInt(*Key, "StartCodeColWidth", [&](std::int32_t V) {
            Header->resizeSection(TSubtitleListModel::TCInColumn, std::max(0, V));
        });
        ReadInt(*Key, "NALColWidth", [&](std::int32_t V) {
            Header->resizeSection(TSubtitleListModel::TCOutColumn, std::max(0, V));
        });
        ReadInt(*Key, "Panel2Width", [&](std::int32_t V) {
            QList<int> Sizes = Splitter1->sizes();
            const int Total = std::max(Sizes.value(0) + Sizes.value(1), DesignedClientWidth);
            const int Width = std::clamp(V, 0, Total);
            Splitter1->setSizes({Width, Total - Width});
        });
        ReadInt(*Key, "WindowState", [&](std::int32_t V) {
            if (V == 1) setWindowState(Qt::WindowMinimized);
            if (V == 2) setWindowState(Qt::WindowMaximized);
        });
        try {
            std::vector<std::uint8_t> Record;
            if (Key->readBinary("ListView Font", Record)) {
                if (const auto Font = listviewfont::DecodeRecord(Record)) {
                    ListView1->setFont(Font->Font);
                    FListFontColor = Font->Color;
                    QPalette Palette = ListView1->palette();
                    Palette.setColor(QPalette::Text,
                                     listviewfont::ColorValueToColor(Font->Color, Palette));
                    ListView1->setPalette(Palette);
                }
            }
        } catch (...) {
        }
        ReadInt(*Key, "AutomaticCodePage", [&](std::int32_t V) { FAutoCodePage = V != 0; });
        ReadInt(*Key, "CodePageNumber", [&](std::int32_t V) { FCodePage = V; });
        ReadInt(*Key, "CheckForUpdates", [&](std::int32_t V) { FCheckForUpdates = V != 0; });
    });
}

void TForm1::CentreWindow() {
    const QScreen* Screen = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!Screen) return;
    const QRect Area = Screen->geometry();
    const QSize Outer = frameGeometry().size();
    move(Area.x() + (Area.width() - Outer.width()) / 2,
         Area.y() + (Area.height() - Outer.height()) / 2);
}

void TForm1::ApplyStoredOuterSize() {
    if (FStoredOuterWidth <= 0 && FStoredOuterHeight <= 0) return;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) return;
    // Outer sizes include the frame, which is known only once the window is on screen.
    const QSize Frame = frameGeometry().size() - geometry().size();
    int Width = FStoredOuterWidth > 0 ? FStoredOuterWidth - Frame.width() : width();
    int Height = FStoredOuterHeight > 0 ? FStoredOuterHeight - Frame.height() : height();
    // No larger than all screens together: a damaged value must not ask for a window the
    // window system cannot draw.
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        const QSize Desktop = Screen->virtualGeometry().size();
        Width = std::min(Width, Desktop.width());
        Height = std::min(Height, Desktop.height());
    }
    resize(std::max(Width, 1), std::max(Height, 1));
    if (isVisible()) FStoredOuterWidth = FStoredOuterHeight = 0;
}

void TForm1::SaveRegistrySettings() {
    platform::guardedVoid("TForm1.SaveRegistrySettings", [&] {
        auto Key = platform::RegistryKey::open(SettingsKey, true);
        if (!Key) return;
        const QRect Outer = frameGeometry();
        const QRect Normal = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
                                 ? normalGeometry()
                                 : QRect();
        const QHeaderView* Header = ListView1->header();
        std::int32_t State = 0;
        if (windowState() & Qt::WindowMinimized) State = 1;
        if (windowState() & Qt::WindowMaximized) State = 2;

        std::vector<std::pair<std::string, platform::RegValue>> Values;
        Values.emplace_back("FormTop", Int(Normal.isValid() ? Normal.y() : Outer.y()));
        Values.emplace_back("FormLeft", Int(Normal.isValid() ? Normal.x() : Outer.x()));
        Values.emplace_back("FormHeight", Int(Outer.height()));
        Values.emplace_back("FormWidth", Int(Outer.width()));
        Values.emplace_back("OffsetColWidth",
                            Int(Header->sectionSize(TSubtitleListModel::CaptionColumn)));
        Values.emplace_back("LenColWidth",
                            Int(Header->sectionSize(TSubtitleListModel::NumberColumn)));
        Values.emplace_back("StartCodeColWidth",
                            Int(Header->sectionSize(TSubtitleListModel::TCInColumn)));
        Values.emplace_back("NALColWidth",
                            Int(Header->sectionSize(TSubtitleListModel::TCOutColumn)));
        Values.emplace_back("Panel2Width", Int(Splitter1->sizes().value(0, Panel2->width())));
        Values.emplace_back("WindowState", Int(State));
        Values.emplace_back("ListView Font",
                            platform::RegValue::fromBinary(
                                listviewfont::EncodeRecord({ListView1->font(), FListFontColor})));
        Values.emplace_back("AutomaticCodePage", Int(FAutoCodePage ? 1 : 0));
        Values.emplace_back("CodePageNumber", Int(FCodePage));
        Values.emplace_back("CheckForUpdates", Int(FCheckForUpdates ? 1 : 0));
        if (!Key->writeMany(Values)) throw std::runtime_error("settings not written");
    });
}
