#include "CompareWindow.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "CompareModel.h"
#include "MarkedTextDelegate.h"
#include "compare/Reports.h"
#include "viewer/preview/SubtitlePreview.h"

namespace comparewindow {

namespace {

using Kind = compare::Difference::Kind;

QString nonStandardNote(const char* side, const ComparedFile& file) {
    QString reason = QString::fromStdString(file.check.reason);
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);  // it goes in parentheses
    return QStringLiteral("%1 is a non-standard file (%2), compared read-only.")
        .arg(QLatin1String(side), reason);
}

// A preview with its caption above it.
QWidget* captioned(const QString& caption, SubtitlePreview* preview) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(preview, 1);
    return box;
}

}  // namespace

CompareWindow::CompareWindow(compare::Comparison comparison, ComparedFile a, ComparedFile b,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_comparison(std::move(comparison)),
      m_a(std::move(a)),
      m_b(std::move(b)) {
    setObjectName(QStringLiteral("compareWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(
        QStringLiteral("Compare %1 with %2")
            .arg(QFileInfo(m_a.fileName).fileName(), QFileInfo(m_b.fileName).fileName()));

    m_model = new CompareModel(m_comparison, this);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("compareTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (const int column : {CompareModel::AText, CompareModel::BText})
        m_table->setColumnWidth(column, 300);
    auto* marked = new MarkedTextDelegate(m_table);
    m_table->setItemDelegateForColumn(CompareModel::AText, marked);
    m_table->setItemDelegateForColumn(CompareModel::BText, marked);
    for (const int column : {CompareModel::ANumber, CompareModel::BNumber})
        m_table->setColumnWidth(column, 50);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showSelectedRow(); });

    m_previewA = new SubtitlePreview;
    m_previewA->setObjectName(QStringLiteral("previewA"));
    m_previewB = new SubtitlePreview;
    m_previewB->setObjectName(QStringLiteral("previewB"));
    auto* previews = new QSplitter(Qt::Horizontal);
    previews->addWidget(captioned(QStringLiteral("A"), m_previewA));
    previews->addWidget(captioned(QStringLiteral("B"), m_previewB));

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_table);
    split->addWidget(previews);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createSummary());
    layout->addWidget(createLegend());
    layout->addWidget(split, 1);

    // Window-wide, so they work while the table has the focus.
    auto* next = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(next, &QShortcut::activated, this, [this] { goToDifference(false); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7), this);
    connect(previous, &QShortcut::activated, this, [this] { goToDifference(true); });

    // The first row shows at once, so the previews are never blank on opening.
    if (m_model->rowCount() > 0) m_table->setCurrentIndex(m_model->index(0, 0));
    QSize size(1100, 760);
    if (const QScreen* screen = parent ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
    m_table->setFocus();
}

CompareWindow::~CompareWindow() = default;

QWidget* CompareWindow::createSummary() {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto addLabel = [&](const char* name, const QString& text) {
        auto* label = new QLabel(text);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
        return label;
    };
    addLabel("filesLabel", QStringLiteral("A: %1\nB: %2").arg(m_a.fileName, m_b.fileName));

    QString offset = m_comparison.offset != 0
                         ? QString::fromStdString(compare::offsetSentence(m_comparison)) + '.'
                         : QStringLiteral("No shift between the files.");
    if (m_comparison.ratesDiffer)
        offset += ' ' + QString::fromStdString(compare::rateSentence(m_comparison)) + '.';
    QFont bold = font();
    bold.setBold(true);
    addLabel("offsetLabel", offset)->setFont(bold);

    QStringList notes;
    if (m_a.nonStandard()) notes << nonStandardNote("A", m_a);
    if (m_b.nonStandard()) notes << nonStandardNote("B", m_b);
    QLabel* note = addLabel("nonStandardLabel", notes.join('\n'));
    note->setVisible(!notes.isEmpty());

    QStringList header;
    for (const compare::Difference& d : m_comparison.differences)
        if (d.kind == Kind::Header) header << QString::fromStdString(d.detail);
    addLabel("headerLabel", header.isEmpty()
                                ? QStringLiteral("Header: no differences.")
                                : QStringLiteral("Header: ") + header.join(QStringLiteral("; ")));
    return box;
}

QWidget* CompareWindow::createLegend() {
    auto* legend = new QWidget;
    legend->setObjectName(QStringLiteral("legend"));
    auto* layout = new QHBoxLayout(legend);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Kind kind : {Kind::Added, Kind::Removed, Kind::Split, Kind::Text, Kind::Time,
                            Kind::Position, Kind::Style, Kind::Comment}) {
        QString name = QString::fromLatin1(compare::kindName(kind));
        if (kind == Kind::Split) name = QStringLiteral("split / merged");
        auto* swatch = new QLabel(name);
        swatch->setMargin(2);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, kindColour(kind));
        palette.setColor(QPalette::WindowText, Qt::black);
        swatch->setPalette(palette);
        layout->addWidget(swatch);
    }
    layout->addWidget(new QLabel(QStringLiteral("Text: [-only in A-] {+only in B+}")));
    layout->addStretch(1);
    return legend;
}

void CompareWindow::goToDifference(bool backwards) {
    const int row = nextDifferenceRow(m_model->rows(), m_table->currentIndex().row(), backwards);
    if (row < 0) return;
    const QModelIndex index = m_model->index(row, CompareModel::Kind);
    m_table->setCurrentIndex(index);
    m_table->scrollTo(index);
}

void CompareWindow::showSelectedRow() {
    const int row = m_table->currentIndex().row();
    const auto show = [](SubtitlePreview* preview, const ComparedFile& file, int entry,
                         std::int64_t& shown) {
        shown = entry >= 0 && entry < static_cast<int>(file.entryBlocks.size())
                    ? file.entryBlocks[entry]
                    : -1;
        if (shown < 0 || !file.reader)
            preview->clear();
        else
            preview->showBlock(*file.reader, static_cast<std::uint32_t>(shown), file.codePage);
    };
    const CompareRow* selected = row >= 0 && row < static_cast<int>(m_model->rows().size())
                                     ? &m_model->rows()[row]
                                     : nullptr;
    show(m_previewA, m_a, selected ? selected->a : -1, m_shownA);
    show(m_previewB, m_b, selected ? selected->b : -1, m_shownB);
}

}  // namespace comparewindow
