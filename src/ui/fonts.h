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

// The installed font families for the user to choose from: each family once,
// by its plain name (no foundry tag such as "C059 [urw]"), sorted.
QStringList family_names();

// One face has one name whatever the locale: the installed family's English
// name ("IPAGothic" for "IPAゴシック", which Qt lists under a Japanese
// locale), without a foundry tag. A name that is no installed family, such as
// the stand-in names "ＭＳ ゴシック", stays as it is.
QString plain_family(const QString& name);

}  // namespace tz::fonts
