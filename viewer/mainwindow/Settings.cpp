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
#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "viewer/FixedFont.h"

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

// Reads one 32-bit value and applies it; a missing or mistyped value, or one that cannot be
// applied, is skipped without a word.
void readInt(const platform::RegistryKey& key, const char* name,
             const std::function<void(std::int32_t)>& apply) {
    try {
        std::uint32_t value = 0;
        if (key.readDWord(name, value)) apply(static_cast<std::int32_t>(value));
    } catch (...) {
    }
}

// True when the middle of the window's top edge, where it is grabbed to move it, lies on a
// screen.
bool titleBarOnScreen(const QRect& outer) {
    return QGuiApplication::screenAt(QPoint(outer.x() + outer.width() / 2, outer.y() + 8)) !=
           nullptr;
}

platform::RegValue dword(std::int32_t value) {
    return platform::RegValue::fromDWord(static_cast<std::uint32_t>(value));
}

}  // namespace

void MainWindow::loadRegistrySettings() {
    platform::guardedVoid("TForm1.LoadRegistrySettings", [&] {
        const auto key = platform::RegistryKey::open(settingsKey, false);
        if (!key) {
            centreWindow();
            return;
        }
        int top = y(), left = x();
        readInt(*key, "FormTop", [&](std::int32_t v) { top = v; });
        readInt(*key, "FormLeft", [&](std::int32_t v) { left = v; });
        move(left, top);
        m_storedPlace = QPoint(left, top);
        m_hasStoredPlace = true;
        readInt(*key, "FormHeight", [&](std::int32_t v) {
            if (v > 0) m_storedOuterHeight = v;
        });
        readInt(*key, "FormWidth", [&](std::int32_t v) {
            if (v > 0) m_storedOuterWidth = v;
        });
        applyStoredOuterSize();
        // A place no screen shows (another machine's monitor, a damaged value) would leave a
        // window the user cannot reach.
        if (!titleBarOnScreen(frameGeometry())) {
            m_hasStoredPlace = false;
            centreWindow();
            // A window taller than the screen still keeps its title bar on it.
            if (!titleBarOnScreen(frameGeometry()) && screen())
                move(x(), screen()->availableGeometry().y());
        }
        QHeaderView* header = m_subtitleList->header();
        readInt(*key, "OffsetColWidth", [&](std::int32_t v) {
            header->resizeSection(SubtitleListModel::CaptionColumn, std::max(0, v));
        });
        readInt(*key, "LenColWidth", [&](std::int32_t v) {
            header->resizeSection(SubtitleListModel::NumberColumn, std::max(0, v));
        });
        readInt(*key, "StartCodeColWidth", [&](std::int32_t v) {
            header->resizeSection(SubtitleListModel::TCInColumn, std::max(0, v));
        });
        readInt(*key, "NALColWidth", [&](std::int32_t v) {
            header->resizeSection(SubtitleListModel::TCOutColumn, std::max(0, v));
        });
        readInt(*key, "Panel2Width", [&](std::int32_t v) {
            QList<int> sizes = m_mainSplitter->sizes();
            const int total = std::max(sizes.value(0) + sizes.value(1), designedClientWidth);
            const int width = std::clamp(v, 0, total);
            m_mainSplitter->setSizes({width, total - width});
        });
        readInt(*key, "WindowState", [&](std::int32_t v) {
            if (v == 1) setWindowState(Qt::WindowMinimized);
            if (v == 2) setWindowState(Qt::WindowMaximized);
        });
        try {
            std::vector<std::uint8_t> record;
            if (key->readBinary("ListView Font", record)) {
                if (const auto font = listviewfont::decodeRecord(record)) {
                    // A face this machine lacks gives the fixed-pitch font at the stored size.
                    m_listFontWanted = font->font;
                    m_subtitleList->setFont(fixedPitchFont(font->font));
                    m_listFontColor = font->color;
                    QPalette palette = m_subtitleList->palette();
                    palette.setColor(QPalette::Text,
                                     listviewfont::colorValueToColor(font->color, palette));
                    m_subtitleList->setPalette(palette);
                }
            }
        } catch (...) {
        }
        // Automatic is the default for a new user only: someone who chose a code page before
        // Automatic could be chosen keeps it.
        bool automaticStored = false;
        readInt(*key, "AutomaticCodePage", [&](std::int32_t v) {
            m_autoCodePage = v != 0;
            automaticStored = true;
        });
        readInt(*key, "CodePageNumber", [&](std::int32_t v) {
            m_codePage = v;
            if (!automaticStored) m_autoCodePage = false;
        });
        readInt(*key, "CheckForUpdates", [&](std::int32_t v) { m_checkForUpdates = v != 0; });
        try {
            loadPreviewSettings(*key);
        } catch (...) {
        }
        try {
            loadColumnSettings(*key);
            loadExportSettings(*key);
        } catch (...) {
        }
    });
}

void MainWindow::centreWindow() {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown) return;
    const QRect area = shown->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

void MainWindow::noteFrame() {
    if (!isVisible() || (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) return;
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    if (outer == inner) return;  // not told yet, or no frame at all
    m_normalFrame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
    m_frameKnown = true;
    applyStoredOuterSize();
}

void MainWindow::applyStoredOuterSize() {
    if (m_storedOuterWidth <= 0 && m_storedOuterHeight <= 0) return;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) return;
    // Outer sizes include the frame, which the window system tells only after showing; until
    // then the window takes them as if it had none.
    const QMargins frame = m_frameKnown ? m_normalFrame : QMargins();
    int w = m_storedOuterWidth > 0 ? m_storedOuterWidth - frame.left() - frame.right() : width();
    int h = m_storedOuterHeight > 0 ? m_storedOuterHeight - frame.top() - frame.bottom() : height();
    // No larger than all screens together: a damaged value must not ask for a window the
    // window system cannot draw.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize desktop = screen->virtualGeometry().size();
        w = std::min(w, desktop.width());
        h = std::min(h, desktop.height());
    }
    if (m_frameKnown) m_storedOuterWidth = m_storedOuterHeight = 0;
    resize(std::max(w, 1), std::max(h, 1));
}

QRect MainWindow::normalOuterGeometry() const {
    const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
    QRect outer = normal || !normalGeometry().isValid()
                      ? frameGeometry()
                      : normalGeometry().marginsAdded(m_normalFrame);
    // What was never applied with the frame known is written back as it was read.
    if (!m_frameKnown && m_hasStoredPlace) outer.moveTopLeft(m_storedPlace);
    if (m_storedOuterWidth > 0) outer.setWidth(m_storedOuterWidth);
    if (m_storedOuterHeight > 0) outer.setHeight(m_storedOuterHeight);
    return outer;
}

void MainWindow::saveRegistrySettings() {
    platform::guardedVoid("TForm1.SaveRegistrySettings", [&] {
        auto key = platform::RegistryKey::open(settingsKey, true);
        if (!key) return;
        // Maximised or minimised, the size to come back to is stored, not the screen's.
        const QRect outer = normalOuterGeometry();
        const QHeaderView* header = m_subtitleList->header();
        std::int32_t state = 0;
        if (windowState() & Qt::WindowMinimized) state = 1;
        if (windowState() & Qt::WindowMaximized) state = 2;

        std::vector<std::pair<std::string, platform::RegValue>> values;
        values.emplace_back("FormTop", dword(outer.y()));
        values.emplace_back("FormLeft", dword(outer.x()));
        values.emplace_back("FormHeight", dword(outer.height()));
        values.emplace_back("FormWidth", dword(outer.width()));
        values.emplace_back("OffsetColWidth",
                            dword(header->sectionSize(SubtitleListModel::CaptionColumn)));
        values.emplace_back("LenColWidth",
                            dword(header->sectionSize(SubtitleListModel::NumberColumn)));
        values.emplace_back("StartCodeColWidth",
                            dword(header->sectionSize(SubtitleListModel::TCInColumn)));
        values.emplace_back("NALColWidth",
                            dword(header->sectionSize(SubtitleListModel::TCOutColumn)));
        values.emplace_back("Panel2Width",
                            dword(m_mainSplitter->sizes().value(0, m_listPanel->width())));
        values.emplace_back("WindowState", dword(state));
        values.emplace_back("ListView Font",
                            platform::RegValue::fromBinary(
                                listviewfont::encodeRecord({m_listFontWanted, m_listFontColor})));
        values.emplace_back("AutomaticCodePage", dword(m_autoCodePage ? 1 : 0));
        values.emplace_back("CodePageNumber", dword(m_codePage));
        values.emplace_back("CheckForUpdates", dword(m_checkForUpdates ? 1 : 0));
        addPreviewSettings(values);
        addColumnSettings(values);
        addExportSettings(values);
        if (!key->writeMany(values)) throw std::runtime_error("settings not written");
    });
}
