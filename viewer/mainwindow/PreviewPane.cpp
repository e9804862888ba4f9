// The subtitle preview pane under the detail trees: created with the window, redrawn whenever the
// selected block's details are, kept in the settings under values of its own.

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <algorithm>
#include <functional>

#include "MainWindow.h"
#include "platform/Registry.h"
#include "viewer/preview/SubtitlePreview.h"

namespace {

constexpr const char* visibleValue = "PreviewVisible";
constexpr const char* heightValue = "PreviewHeight";
constexpr const char* rowNumbersValue = "PreviewRowNumbers";
constexpr const char* rulerValue = "PreviewRuler";

// Calls Apply once the watched widget has handled a resize (queued: a splitter sets its sizes
// after the event filters have seen the event).
class ResizeWatch final : public QObject {
public:
    ResizeWatch(QWidget* watched, std::function<void()> apply)
        : QObject(watched), m_apply(std::move(apply)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            QMetaObject::invokeMethod(this, m_apply, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_apply;
};

}  // namespace

void MainWindow::createPreviewPane(QMenu* view) {
    m_preview = new SubtitlePreview(m_treeSplitter);
    m_treeSplitter->addWidget(m_preview);
    m_treeSplitter->setSizes({224, 300, m_preview->sizeHint().height()});
    m_previewAction = view->addAction(QStringLiteral("Subtitle &Preview"));
    m_previewAction->setCheckable(true);
    m_previewAction->setChecked(true);  // a new user sees it
    connect(m_previewAction, &QAction::toggled, this, [this](bool on) {
        m_preview->setVisible(on);
        if (on) {
            applyStoredPreviewHeight();
            refreshPreview(m_stlReader.get(), selectedRow());
        }
    });
    // Sizes set before the splitter has a size of its own are lost when it gets one, and the
    // window's size settles only once the window system has told its frame: the stored height
    // holds through those resizes until the user drags the pane's edge.
    new ResizeWatch(m_treeSplitter, [this] { applyStoredPreviewHeight(); });
    connect(m_treeSplitter, &QSplitter::splitterMoved, this, [this] { m_storedPreviewHeight = 0; });
}

void MainWindow::applyStoredPreviewHeight() {
    if (m_storedPreviewHeight <= 0 || m_preview->isHidden() || !m_treeSplitter->isVisible()) return;
    const QList<int> sizes = m_treeSplitter->sizes();
    const int total = sizes.value(0) + sizes.value(1) + sizes.value(2);
    if (total <= 0) return;
    // The trees keep at least some room, and their proportions.
    const int height = std::min(m_storedPreviewHeight, std::max(0, total - 100));
    const int rest = total - height;
    const int trees = std::max(1, sizes.value(0) + sizes.value(1));
    const int gsi = static_cast<int>(static_cast<long long>(rest) * sizes.value(0) / trees);
    m_treeSplitter->setSizes({gsi, rest - gsi, height});
}

void MainWindow::refreshPreview(StlReader* reader, int index) {
    if (!m_preview) return;
    if (!reader || index < 0) {
        m_preview->clear();
        return;
    }
    // A hidden pane costs nothing; it catches up when shown.
    if (m_preview->isHidden()) return;
    m_preview->showBlock(*reader, static_cast<std::uint32_t>(index), textCodePage());
}

void MainWindow::loadPreviewSettings(const platform::RegistryKey& key) {
    std::uint32_t value = 0;
    if (key.readDWord(visibleValue, value)) m_previewAction->setChecked(value != 0);
    if (key.readDWord(heightValue, value) && value > 0 && value < 10000) {
        m_storedPreviewHeight = static_cast<int>(value);
        applyStoredPreviewHeight();
    }
    if (key.readDWord(rowNumbersValue, value)) m_preview->setRowNumbers(value != 0);
    if (key.readDWord(rulerValue, value)) m_preview->setRuler(value != 0);
}

void MainWindow::addPreviewSettings(
    std::vector<std::pair<std::string, platform::RegValue>>& values) {
    const auto dword = [](int v) {
        return platform::RegValue::fromDWord(static_cast<std::uint32_t>(v));
    };
    values.emplace_back(visibleValue, dword(m_previewAction->isChecked() ? 1 : 0));
    // A hidden pane has no height of its own: the last one shown stays stored, as does one the
    // user has not changed since the start.
    if (m_storedPreviewHeight > 0)
        values.emplace_back(heightValue, dword(m_storedPreviewHeight));
    else if (!m_preview->isHidden() && m_preview->height() > 0)
        values.emplace_back(heightValue, dword(m_preview->height()));
    values.emplace_back(rowNumbersValue, dword(m_preview->paintOptions().rowNumbers ? 1 : 0));
    values.emplace_back(rulerValue, dword(m_preview->paintOptions().ruler ? 1 : 0));
}
