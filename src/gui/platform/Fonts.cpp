#include "gui/platform/Fonts.h"

#include <QApplication>

namespace velmora {

void installJapaneseFonts()
{
    // Where the fonts of the names are installed (Windows), they are used themselves; otherwise the IPA
    // fonts, Noto CJK, then the Japanese fonts every Windows has.
    const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Yu Gothic"),
                                QStringLiteral("Meiryo")};
    const QStringList proportional = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                      QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI")};
    const QStringList mincho = {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                                QStringLiteral("Yu Mincho")};
    for (const QString& name : {GothicFont, QStringLiteral("MS Gothic")})
        QFont::insertSubstitutions(name, gothic);
    for (const QString& name : {ProportionalGothicFont, QStringLiteral("MS PGothic")})
        QFont::insertSubstitutions(name, proportional);
    for (const QString& name : {MinchoFont, QStringLiteral("MS Mincho")})
        QFont::insertSubstitutions(name, mincho);
    // The system's font of a Windows set to another language (or of Wine) has no Japanese glyphs: the paths and
    // buttons of the message boxes fell back to a serif.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setFont(systemFont(ProportionalGothicFont, 9));
}

QFont systemFont(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    // Without hinting the glyphs come from the outlines: the bitmap strikes that the Japanese fonts
    // carry for small sizes make "." read as "," and "8" as "5" in the 8 pt figures of the reports.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}

} // namespace velmora
