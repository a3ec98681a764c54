#include "store/text_fold.h"

#include <cstdint>

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
    return piece.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// Every UTF-16 unit folded on its own, and whether composition can join it to
// the text before it; made once, on first use.
struct FoldTable {
    struct Entry {
        std::uint32_t offset = 0;  // into pool
        std::uint8_t length = 0;
        bool boundary = false;
    };
    std::vector<Entry> entries;
    std::vector<char16_t> pool;

    FoldTable() : entries(0x10000) {
        for (char32_t u = 0; u < 0x10000; ++u) {
            const char16_t unit = char16_t(u);
            const QString folded = u < 0x80 ? QString(QChar(u >= 'A' && u <= 'Z' ? unit + 32 : unit))
                                            : fold_piece(QStringView(&unit, 1));
            Entry& e = entries[u];
            e.offset = std::uint32_t(pool.size());
            e.length = std::uint8_t(folded.size());
            e.boundary = boundary_before(u);
            pool.insert(pool.end(), folded.utf16(), folded.utf16() + folded.size());
        }
    }
    QStringView folded(char16_t u) const {
        const Entry& e = entries[u];
        return QStringView(pool.data() + e.offset, e.length);
    }
};

const FoldTable& table() {
    static const FoldTable t;
    return t;
}

bool boundary_at(const FoldTable& t, QStringView s, qsizetype j) {
    const char16_t u = s[j].unicode();
    if (!QChar::isSurrogate(u)) return t.entries[u].boundary;
    qsizetype units = 0;
    return boundary_before(code_point_at(s, j, &units));
}

// Folds the text piece by piece, a piece being one character with whatever
// composition may join to it; out(folded, from, to) gets each piece's folding
// and its place in the original.
template <typename Out>
void fold_pieces(QStringView text, Out out) {
    const FoldTable& t = table();
    const qsizetype n = text.size();
    qsizetype units = 0;
    for (qsizetype i = 0; i < n;) {
        code_point_at(text, i, &units);
        qsizetype j = i + units;
        while (j < n && !boundary_at(t, text, j)) {
            code_point_at(text, j, &units);
            j += units;
        }
        if (j == i + 1)
            out(t.folded(text[i].unicode()), i, j);
        else
            out(QStringView(fold_piece(text.sliced(i, j - i))), i, j);
        i = j;
    }
}

}  // namespace

QString fold_for_search(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    qsizetype k = 0;
    fold_pieces(text, [&](QStringView folded, qsizetype, qsizetype) {
        if (k + folded.size() > out.size()) {
            out.resize(std::max(out.size() * 2, k + folded.size()));
            d = reinterpret_cast<char16_t*>(out.data());
        }
        for (const QChar c : folded) d[k++] = c.unicode();
    });
    out.truncate(k);
    return out;
}

FoldedText fold_with_map(QStringView text) {
    FoldedText out;
    out.text.reserve(text.size());
    out.from.reserve(size_t(text.size()));
    out.to.reserve(size_t(text.size()));
    fold_pieces(text, [&](QStringView folded, qsizetype from, qsizetype to) {
        out.text.append(folded);
        out.from.insert(out.from.end(), size_t(folded.size()), int(from));
        out.to.insert(out.to.end(), size_t(folded.size()), int(to));
    });
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
