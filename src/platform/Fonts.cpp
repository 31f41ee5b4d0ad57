#include "Fonts.h"

namespace velmora {

void installFontSubstitutions()
{
    const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("Noto Sans CJK JP")};
    const QStringList proportional = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    const QStringList mincho = {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")};
    for (const QString& name : {GothicFont, QStringLiteral("MS Gothic")})
        QFont::insertSubstitutions(name, gothic);
    for (const QString& name : {ProportionalGothicFont, QStringLiteral("MS PGothic")})
        QFont::insertSubstitutions(name, proportional);
    for (const QString& name : {MinchoFont, QStringLiteral("MS Mincho")})
        QFont::insertSubstitutions(name, mincho);
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
