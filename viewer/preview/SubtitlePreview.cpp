#include "SubtitlePreview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "PreviewBlocks.h"
#include "viewer/UserInteraction.h"

SubtitlePreview::SubtitlePreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("subtitlePreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_menu = new QMenu(this);
    m_copyAction =
        m_menu->addAction(QStringLiteral("Copy Preview"), this, [this] { copyPreview(); });
    m_saveAction = m_menu->addAction(QStringLiteral("Save Preview as PNG..."), this,
                                     [this] { savePreview(); });
    m_menu->addSeparator();
    m_rowNumbersAction = m_menu->addAction(QStringLiteral("Row Numbers"));
    m_rowNumbersAction->setCheckable(true);
    connect(m_rowNumbersAction, &QAction::toggled, this, [this](bool on) { setRowNumbers(on); });
    m_rulerAction = m_menu->addAction(QStringLiteral("Column Ruler"));
    m_rulerAction->setCheckable(true);
    connect(m_rulerAction, &QAction::toggled, this, [this](bool on) { setRuler(on); });
}

void SubtitlePreview::showBlock(const StlReader& reader, std::uint32_t index,
                                std::uint16_t codePage) {
    showLayout(
        preview::layOut(preview::selectionAt(reader, index),
                        preview::layoutOptions(reader.generalSubtitleInformation(), codePage)));
}

void SubtitlePreview::showLayout(preview::Layout layout) {
    m_layout = std::move(layout);
    update();
}

void SubtitlePreview::clear() {
    showLayout(preview::Layout{});
}

void SubtitlePreview::setRowNumbers(bool on) {
    m_options.rowNumbers = on;
    m_rowNumbersAction->setChecked(on);
    update();
}

void SubtitlePreview::setRuler(bool on) {
    m_options.ruler = on;
    m_rulerAction->setChecked(on);
    update();
}

QImage SubtitlePreview::renderImage() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    preview::paintPreview(painter, size(), m_layout, m_options);
    return image;
}

QRect SubtitlePreview::cellRect(int row, int column) const {
    return preview::PreviewGeometry(m_layout, size(), m_options).cell(row, column);
}

void SubtitlePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    preview::paintPreview(painter, size(), m_layout, m_options);
}

void SubtitlePreview::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
}

void SubtitlePreview::copyPreview() {
    QApplication::clipboard()->setImage(renderImage());
}

void SubtitlePreview::savePreview() {
    QString name =
        userInteraction().getSaveFileName(this, QStringLiteral("Save Preview as PNG"), QString(),
                                          QStringLiteral("PNG image (*.png)"));
    if (name.isEmpty()) return;
    if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) name += QStringLiteral(".png");
    if (!renderImage().save(name, "PNG"))
        userInteraction().showError(
            this, QStringLiteral("The preview could not be saved to %1.").arg(name));
}
