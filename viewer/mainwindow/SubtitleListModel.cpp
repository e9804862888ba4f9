#include "SubtitleListModel.h"

#include <limits>
#include <stdexcept>

#include "BlockDisplay.h"
#include "stl/CodePage.h"
#include "stl/STLUtils.h"

void TSubtitleRows::Reserve(std::size_t Rows) {
    FRows.reserve(Rows);
    // Most subtitles are well below a full text field; this avoids most regrowth.
    FTexts.reserve(Rows * 48);
}

void TSubtitleRows::Append(const TTextAndTimingInformation& Block, std::uint16_t CodePage) {
    const std::u16string Text = CodePageToUnicode(TextFieldDisplayBytes(Block), CodePage);
    if (FTexts.size() > std::numeric_limits<std::uint32_t>::max() - Text.size())
        throw std::length_error("subtitle texts exceed 4 GiB");
    Row R;
    std::copy_n(&Block.Bytes[tti::TimeCodeIn.Offset], 8, R.TimeCodes);
    R.TextStart = static_cast<std::uint32_t>(FTexts.size());
    R.TextLength = static_cast<std::uint32_t>(Text.size());
    FTexts += Text;
    FRows.push_back(R);
}

QString TSubtitleRows::TimeCodeIn(std::size_t Row) const {
    return TimeCodeText(FRows[Row].TimeCodes);
}

QString TSubtitleRows::TimeCodeOut(std::size_t Row) const {
    return TimeCodeText(FRows[Row].TimeCodes + 4);
}

QString TSubtitleRows::Text(std::size_t Row) const {
    const auto& R = FRows[Row];
    return QString::fromUtf16(FTexts.data() + R.TextStart, static_cast<qsizetype>(R.TextLength));
}

TSubtitleListModel::TSubtitleListModel(QObject* Parent) : QAbstractTableModel(Parent) {}

int TSubtitleListModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : static_cast<int>(FRows.Size());
}

int TSubtitleListModel::columnCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : ColumnCount;
}

QVariant TSubtitleListModel::Alignment(int Column) {
    switch (Column) {
        case NumberColumn:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        case TCInColumn:
        case TCOutColumn:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
}

QVariant TSubtitleListModel::data(const QModelIndex& Index, int Role) const {
    if (!checkIndex(Index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto Row = static_cast<std::size_t>(Index.row());
    if (Role == Qt::TextAlignmentRole) return Alignment(Index.column());
    if (Role != Qt::DisplayRole && Role != Qt::ToolTipRole) return {};
    switch (Index.column()) {
        case NumberColumn:
            return Role == Qt::DisplayRole ? QVariant(QString::number(Index.row() + 1)) : QVariant();
        case TCInColumn:
            return Role == Qt::DisplayRole ? QVariant(FRows.TimeCodeIn(Row)) : QVariant();
        case TCOutColumn:
            return Role == Qt::DisplayRole ? QVariant(FRows.TimeCodeOut(Row)) : QVariant();
        case TextColumn:
            // Long texts are cut by the column; the tool tip shows them whole.
            return FRows.Text(Row);
        default:
            return Role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
}

QVariant TSubtitleListModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
    if (Orientation != Qt::Horizontal || Section < 0 || Section >= ColumnCount) return {};
    if (Role == Qt::TextAlignmentRole) return Alignment(Section);
    if (Role != Qt::DisplayRole) return {};
    static const char* const Headings[ColumnCount] = {"", "#", "TC In", "TC Out", "Text"};
    return QString::fromLatin1(Headings[Section]);
}

Qt::ItemFlags TSubtitleListModel::flags(const QModelIndex& Index) const {
    if (!Index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TSubtitleListModel::SetRows(TSubtitleRows Rows) {
    beginResetModel();
    FRows = std::move(Rows);
    endResetModel();
}

void TSubtitleListModel::Clear() { SetRows(TSubtitleRows()); }
