#pragma once
// Before a command writes a file the user named: what stands at that name, and the question or
// refusal that goes with it.

#include <QString>

class QWidget;

enum class SaveTarget { None, RegularFile, Other };

// A link counts as what it points to; a dangling one is still something to replace.
SaveTarget saveTargetAt(const QString& path);

// Refuses Other with "PATH cannot be written: it is not a regular file." and asks before a
// regular file is replaced; true when writing may go ahead.
bool confirmSaveTarget(QWidget* parent, const QString& path, SaveTarget target);
