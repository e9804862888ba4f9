#pragma once
// A face at a size where it is installed, otherwise the system's fixed-pitch font at that size,
// so hex and code columns never fall back to a proportional face. The family is the one really
// used, so a font dialog opened on it shows that face.

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

inline QFont fixedPitchFont(const QFont& wanted) {
    QFont font = wanted;
    if (QFontInfo(wanted).family().compare(wanted.family(), Qt::CaseInsensitive) != 0) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (wanted.pointSizeF() > 0) font.setPointSizeF(wanted.pointSizeF());
        font.setWeight(wanted.weight());
        font.setItalic(wanted.italic());
        font.setUnderline(wanted.underline());
        font.setStrikeOut(wanted.strikeOut());
    }
    font.setFamily(QFontInfo(font).family());
    return font;
}

inline QFont fixedPitchFont(const QString& face, int pointSize) {
    return fixedPitchFont(QFont(face, pointSize));
}
