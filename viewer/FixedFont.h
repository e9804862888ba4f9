#pragma once
// Hex and code columns need a fixed-pitch face. Where the wanted face is not installed (no
// "Courier New" on most Linux systems) the system's fixed-pitch font stands in at the wanted size.

#include <QFont>
#include <QString>

// The wanted font where its face is installed, otherwise a fixed-pitch face with its size and
// style. The family is the one really drawn, so a font dialog opened on it shows that face.
QFont fixedPitchFont(const QFont& wanted);
QFont fixedPitchFont(const QString& face, int pointSize);
