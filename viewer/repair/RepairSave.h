#pragma once
// Apply's writing: where the repaired file goes (NAME.fixed.stl beside the original unless the
// user names another), asking before anything is replaced, and writing it whole or not at all.

#include <QString>
#include <string>

class QWidget;

namespace repairwindow {

// The original itself is replaced only after a question, never when it was opened read-only, and
// not when it changed on disk since OriginalBytes were read. Returns the name written; empty when
// nothing was.
QString saveRepairedFile(QWidget* parent, const QString& original, bool openedReadOnly,
                         const std::string& originalBytes, const std::string& repairedBytes);

}  // namespace repairwindow
