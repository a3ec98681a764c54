#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QRawFont>
#include <QRegularExpression>
#include <QStringList>
#include <QtEndian>

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

namespace {

// The English family name from a font's name table: the typographic family
// (name 16), else the family (name 1), as the Windows or Unicode platform
// records it for US English. Empty when the table has none.
QString english_family(const QByteArray& table) {
    const auto u16 = [&table](qsizetype at) -> int {
        if (at < 0 || at + 2 > table.size()) return -1;
        return qFromBigEndian<quint16>(table.constData() + at);
    };
    const int count = u16(2);
    const int strings = u16(4);
    if (count < 0 || strings < 0) return {};
    QString best;
    int best_rank = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype rec = 6 + qsizetype(i) * 12;
        const int platform = u16(rec), language = u16(rec + 4), name_id = u16(rec + 6);
        const int length = u16(rec + 8), offset = u16(rec + 10);
        if (offset < 0 || length <= 0 || (name_id != 1 && name_id != 16)) continue;
        const bool english = (platform == 3 && language == 0x409) || platform == 0;
        if (!english) continue;
        const int rank = name_id == 16 ? 2 : 1;
        if (rank <= best_rank) continue;
        const qsizetype at = qsizetype(strings) + offset;
        if (at + length > table.size()) continue;
        QString name;
        for (qsizetype j = at; j + 1 < at + length; j += 2) name.append(QChar(qFromBigEndian<quint16>(table.constData() + j)));
        if (name.isEmpty()) continue;
        best = name;
        best_rank = rank;
    }
    return best;
}

QString without_foundry(const QString& name) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QString plain = name;
    plain.remove(foundry);
    return plain;
}

bool is_ascii(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

QString plain_family(const QString& name) {
    const QString plain = without_foundry(name);
    // Latin names are the English names already; only localized ones are looked up.
    if (is_ascii(plain) || !QFontDatabase::hasFamily(plain)) return plain;
    static QHash<QString, QString> known;
    if (const auto it = known.constFind(plain); it != known.cend()) return *it;
    QString english = english_family(QRawFont::fromFont(QFont(plain)).fontTable("name"));
    // Only a name that reaches the same installed face.
    if (english.isEmpty() || !QFontDatabase::hasFamily(english) || QFontInfo(QFont(english)).family() != QFontInfo(QFont(plain)).family())
        english = plain;
    known.insert(plain, english);
    return english;
}

QStringList family_names() {
    QStringList names;
    for (const QString& family : QFontDatabase::families()) names.append(plain_family(family));
    names.removeDuplicates();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QFont font(const QString& family, double points) {
    QFont f(family);
    f.setPointSizeF(points);
    return f;
}

}  // namespace tz::fonts
