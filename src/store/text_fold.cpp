#include "store/text_fold.h"

namespace tz {
namespace {

char32_t code_point_at(QStringView s, qsizetype i, qsizetype* units) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, s[i + 1]);
    }
    *units = 1;
    return c.unicode();
}

// True when composition can never join c to the text before it: c is a
// starter, its compatibility decomposition starts with a starter, and it is
// not one of the starters that compose as the second of a pair (Hangul vowels
// and final consonants, a few Indic and Myanmar vowel signs). Folding the text
// piece by piece between such characters gives what folding it whole gives.
bool boundary_before(char32_t c) {
    if (c < 0x300) return true;
    if (QChar::combiningClass(c) != 0) return false;
    if ((c >= 0x1161 && c <= 0x1175) || (c >= 0x11A8 && c <= 0x11C2)) return false;
    switch (c) {
    case 0x09BE: case 0x09D7: case 0x0B3E: case 0x0B56: case 0x0B57: case 0x0BBE: case 0x0BD7:
    case 0x0CC2: case 0x0CD5: case 0x0CD6: case 0x0D3E: case 0x0D57: case 0x0DCF: case 0x0DDF:
    case 0x0F73: case 0x0F75: case 0x0F81: case 0x102E: case 0x1B35:
    case 0xFF9E: case 0xFF9F:  // half-width voiced and semi-voiced sound marks
    case 0x11127: case 0x1133E: case 0x11357: case 0x114B0: case 0x114BA: case 0x114BD: case 0x115AF: case 0x11930:
        return false;
    default:
        return true;
    }
}

QString fold_piece(QStringView piece) {
    if (piece.size() == 1 && piece[0].unicode() < 0x80) {
        const char16_t c = piece[0].unicode();
        return QString(QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c));
    }
    return piece.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

}  // namespace

QString fold_for_search(QStringView text) {
    return text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

FoldedText fold_with_map(QStringView text) {
    FoldedText out;
    const qsizetype n = text.size();
    out.text.reserve(n);
    out.from.reserve(size_t(n));
    out.to.reserve(size_t(n));
    qsizetype units = 0;
    for (qsizetype i = 0; i < n;) {
        code_point_at(text, i, &units);
        qsizetype j = i + units;
        while (j < n && !boundary_before(code_point_at(text, j, &units))) j += units;
        const QString folded = fold_piece(text.sliced(i, j - i));
        out.text += folded;
        out.from.insert(out.from.end(), size_t(folded.size()), int(i));
        out.to.insert(out.to.end(), size_t(folded.size()), int(j));
        i = j;
    }
    return out;
}

TextHit find_folded(const FoldedText& hay, QStringView key, int from) {
    if (key.isEmpty()) return {};
    qsizetype at = std::lower_bound(hay.from.begin(), hay.from.end(), from) - hay.from.begin();
    at = QStringView(hay.text).indexOf(key, at);
    if (at < 0) return {};
    const int start = hay.from[size_t(at)];
    return {start, hay.to[size_t(at + key.size() - 1)] - start};
}

}  // namespace tz
