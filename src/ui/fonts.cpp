#include "ui/fonts.h"

#include <QStringList>

namespace tz::fonts {

void install_substitutes() {
    const auto sub = [](const char* face, std::initializer_list<const char*> stand_ins) {
        QStringList names;
        for (const char* n : stand_ins) names.append(QString::fromUtf8(n));
        QFont::insertSubstitutions(QString::fromUtf8(face), names);
    };
    sub("ＭＳ ゴシック", {"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP"});
    sub("ＭＳ Ｐゴシック", {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP"});
    sub("ＭＳ 明朝", {"IPAMincho", "IPAexMincho", "Noto Serif CJK JP"});
    sub("ＭＳ Ｐ明朝", {"IPAPMincho", "IPAexMincho", "Noto Serif CJK JP"});
}

QString gothic() { return QStringLiteral("ＭＳ ゴシック"); }
QString proportional_gothic() { return QStringLiteral("ＭＳ Ｐゴシック"); }

QFont font(const QString& family, double points) {
    QFont f(family);
    f.setPointSizeF(points);
    return f;
}

}  // namespace tz::fonts
