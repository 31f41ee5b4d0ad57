#pragma once

#include <QFont>
#include <QStringList>

namespace velmora {

inline const QString GothicFont = QStringLiteral("ＭＳ ゴシック");
inline const QString ProportionalGothicFont = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString MinchoFont = QStringLiteral("ＭＳ 明朝");

// Maps the font names the windows and reports use to the Japanese fonts installed here (IPA fonts, then Noto
// CJK JP), and makes the proportional gothic the application's font, which message boxes and Qt's own dialogs
// take. Called once at start, and by every test program that shows a window.
void installJapaneseFonts();

// A font by the system's own name at a point size, e.g. systemFont(GothicFont, 9.75).
QFont systemFont(const QString& family, double points, bool bold = false);

} // namespace velmora
