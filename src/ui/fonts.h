#pragma once
// The Japanese faces the memo book asks for by their Windows names resolve to
// the IPA fonts on Linux ("ＭＳ ゴシック" to IPAGothic ...), so Japanese text
// never shows as boxes.

#include <QFont>
#include <QString>

namespace tz::fonts {

void install_substitutes();

QString gothic();            // "ＭＳ ゴシック", fixed pitch
QString proportional_gothic();  // "ＭＳ Ｐゴシック"

// A font by face name and points.
QFont font(const QString& family, double points);

}  // namespace tz::fonts
