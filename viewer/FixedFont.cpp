#include "FixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

bool isInstalled(const QFont& font) {
    return QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0;
}

// The platform theme's fixed font first; some platforms (no desktop theme, offscreen) answer
// with the proportional default, so then the generic "monospace" alias, then any installed
// fixed-pitch family.
QFont fixedPitchFace() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(system).fixedPitch()) return system;
    QFont generic(QStringLiteral("monospace"));
    generic.setStyleHint(QFont::Monospace);
    if (QFontInfo(generic).fixedPitch()) return generic;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family)) return QFont(family);
    return system;
}

}  // namespace

QFont fixedPitchFont(const QFont& wanted) {
    QFont font = wanted;
    if (!isInstalled(wanted)) {
        font = fixedPitchFace();
        if (wanted.pointSizeF() > 0) font.setPointSizeF(wanted.pointSizeF());
        font.setWeight(wanted.weight());
        font.setItalic(wanted.italic());
        font.setUnderline(wanted.underline());
        font.setStrikeOut(wanted.strikeOut());
    }
    font.setFamily(QFontInfo(font).family());
    return font;
}

QFont fixedPitchFont(const QString& face, int pointSize) {
    return fixedPitchFont(QFont(face, pointSize));
}
