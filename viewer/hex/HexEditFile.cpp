// Reading the block when the dialog is first shown, writing the changed bytes back, and the
// free functions that open the dialog on a file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTableWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "HexEditCells.h"
#include "HexEditDialog.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"

using platform::guarded;
using platform::guardedVoid;
using namespace hexcells;

namespace {

const QString saveQuestion = QStringLiteral(
    "This action will permanently change the file content. Are you sure you want to save all "
    "changes?");

bool isRegularFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void HexEditDialog::onFirstShow() {
    guardedVoid("THexEditForm.FormShow", [&] {
        WaitCursor wait;
        if (m_offset < 0 || m_size < 0 || m_size > maxEditBytes)
            throw std::invalid_argument("block range");
        if (m_fileStream == nullptr && !m_fileName.empty()) {
            // Opened by descriptor so the path's bytes are used exactly as given; edits go to
            // a regular file only (O_NONBLOCK keeps a FIFO from blocking the open).
            const int fd = ::open(m_fileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0) throw std::runtime_error("open failed");
            if (!isRegularFile(fd) || ::fcntl(fd, F_SETFL, 0) != 0) {
                ::close(fd);
                throw std::runtime_error("not a regular file");
            }
            m_ownStream = std::make_unique<QFile>();
            if (!m_ownStream->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                                   QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                m_ownStream.reset();
                throw std::runtime_error("open failed");
            }
            m_fileStream = m_ownStream.get();
        }
        if (m_fileStream == nullptr) throw std::runtime_error("no stream");

        m_changedCells.clear();
        m_prevCol = m_prevRow = -1;
        m_layout = HexGridLayout{m_offset, m_size};
        const int lead = m_layout.lead();
        // Wide enough for the texts whole in the grid's font (a cell keeps a few pixels of margin).
        const QFontMetrics metrics(m_grid->font());
        const auto fit = [&](int designed, int characters) {
            return std::max(designed, metrics.horizontalAdvance(QString(characters, 'W')) + 12);
        };
        m_grid->setColumnWidth(offsetCol, fit(180, 18));
        for (int c = 1; c <= hexlayout::bytesPerLine; ++c) m_grid->setColumnWidth(c, fit(24, 2));
        m_grid->setColumnWidth(charCol, fit(120, hexlayout::bytesPerLine));
        fitWidthToColumns();
        m_grid->setRowCount(m_layout.rows());
        QStringList header{QString()};
        for (int c = 0; c < hexlayout::bytesPerLine; ++c) header << hexByte(c);
        header << QString();
        m_grid->setHorizontalHeaderLabels(header);
        for (int r = 1; r <= m_layout.rows(); ++r) {
            for (int c = 0; c < columnCount; ++c) m_grid->setItem(r - 1, c, new QTableWidgetItem);
            setCell(offsetCol, r,
                    QString::fromStdString(hexlayout::offsetText(m_layout.rowStartOffset(r))));
        }

        m_buffer.assign(static_cast<std::size_t>(m_size), 0);
        m_bytesRead = 0;
        if (!m_fileStream->seek(m_offset)) throw std::runtime_error("seek failed");
        while (m_bytesRead < m_size) {
            const qint64 got = m_fileStream->read(
                reinterpret_cast<char*>(m_buffer.data()) + m_bytesRead, m_size - m_bytesRead);
            if (got < 0) throw std::runtime_error("read failed");
            if (got == 0) break;
            m_bytesRead += got;
        }

        for (std::int64_t k = 0; k < m_bytesRead; ++k)
            setCell(m_layout.colOf(k), m_layout.rowOf(k), hexByte(m_buffer[k]));
        if (m_bytesRead > 0)
            for (int r = 1; r <= m_layout.rowOf(m_bytesRead - 1); ++r) updateRow(r);

        setWindowTitle(QStringLiteral("Hex Edit") + QString::fromStdString(m_additionalCaption));
        applyCellFlags();
        if (m_bytesRead > 0) m_grid->setCurrentCell(0, lead + 1);
    });
}

void HexEditDialog::onClose() {
    guardedVoid("THexEditForm.FormClose", [&] {
        m_closed = true;
        m_buffer.clear();
        m_changedCells.clear();
        if (m_ownStream) {
            m_ownStream->close();
            m_ownStream.reset();
            m_fileStream = nullptr;
        }
    });
}

bool HexEditDialog::saveChanges() {
    return guarded("THexEditForm.SaveChanges", false, [&] {
        if (m_fileStream == nullptr) throw std::runtime_error("no stream");
        for (const ChangedCell& cell : m_changedCells) {
            const char value = static_cast<char>(cell.value);
            if (!m_fileStream->seek(m_layout.fileOffset(cell.col, cell.row)) ||
                m_fileStream->write(&value, 1) != 1)
                throw std::runtime_error("write failed");
        }
        // Only a write that reached the disk counts as saved.
        if (auto* file = qobject_cast<QFileDevice*>(m_fileStream)) {
            if (!file->flush()) throw std::runtime_error("flush failed");
            if (file->handle() >= 0 && ::fsync(file->handle()) != 0)
                throw std::runtime_error("fsync failed");
        }
        return true;
    });
}

void HexEditDialog::bbtnOKClick() {
    guardedVoid("THexEditForm.bbtnOKClick", [&] {
        if (m_canModify) {
            if (m_changedCells.empty()) {
                userInteraction().showMessage(this, QStringLiteral("No changes to be saved."));
            } else if (userInteraction().confirm(this, saveQuestion)) {
                if (!saveChanges()) {
                    // The edits stay in the grid so the user can try again or cancel.
                    userInteraction().showError(
                        this, QStringLiteral("The changes could not be written to the file."));
                    return;
                }
                m_saved = true;
            }
        }
        accept();
    });
}

namespace {

// 0 when the file opens for reading and writing, otherwise the reason's errno.
int openReadWriteError(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

void tellCannotEdit(QWidget* parent, const std::string& fileName, const QString& reason) {
    userInteraction().showError(parent, QStringLiteral("The file cannot be edited: %1\n\n%2")
                                            .arg(reason, QFile::decodeName(fileName.c_str())));
}

}  // namespace

bool canOpenReadWriteFile(const std::string& fileName) {
    return guarded("CanOpenReadWriteFile", false, [&] {
        const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return false;
        const bool regular = isRegularFile(fd);
        ::close(fd);
        return regular;
    });
}

bool editFile(const std::string& fileName, const std::string& additionalCaption, bool canModify,
              std::int64_t offset, std::int64_t size, QWidget* parent) {
    return guarded("EditFile", false, [&] {
        std::error_code ec;
        if (!std::filesystem::exists(fileName, ec)) {
            platform::reportError("EditFile", "file not found");
            tellCannotEdit(parent, fileName, QStringLiteral("it no longer exists."));
            return false;
        }
        struct stat info {};
        if (::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            platform::reportError("EditFile", "not a regular file");
            tellCannotEdit(parent, fileName, QStringLiteral("it is not a regular file."));
            return false;
        }
        if (const int error = openReadWriteError(fileName)) {
            platform::reportError("EditFile", "can not read/write file");
            tellCannotEdit(parent, fileName,
                           QStringLiteral("it cannot be opened for writing (%1).")
                               .arg(QString::fromLocal8Bit(std::strerror(error))));
            return false;
        }
        if (offset < 0 || size <= 0 || size > maxEditBytes) {
            platform::reportError("EditFile", "invalid block range");
            return false;
        }
        HexEditDialog form(parent);
        form.setFileName(fileName);
        form.setOffset(offset);
        form.setSize(size);
        form.setAdditionalCaption(additionalCaption);
        form.setCanModify(canModify);
        // "Save Changes" also closes the dialog when nothing was written.
        return form.exec() == QDialog::Accepted && form.saved();
    });
}

// A larger font (a desktop setting, 200 % scaling) widens the columns: the dialog grows so that
// every column shows whole, as far as the screen allows. It never shrinks below its designed size.
void HexEditDialog::fitWidthToColumns() {
    layout()->activate();
    const int missing = m_grid->horizontalHeader()->length() - m_grid->viewport()->width();
    const int room = screen() ? screen()->availableGeometry().width() : width() + missing;
    if (missing > 0) resize(std::min(width() + missing, room), height());
}
