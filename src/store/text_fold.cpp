#include "store/text_fold.h"

#include <algorithm>
#include <cstdint>

namespace tz {
namespace {

QString fold_char(QStringView ch) {
    return ch.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
}

// Every UTF-16 unit folded on its own, made once, on first use. A lone
// surrogate stays as it is.
struct FoldTable {
    struct Entry {
        std::uint32_t offset = 0;  // into pool
        std::uint8_t length = 0;
    };
    std::vector<Entry> entries;
    std::vector<char16_t> pool;

    FoldTable() : entries(0x10000) {
        for (char32_t u = 0; u < 0x10000; ++u) {
            const char16_t unit = char16_t(u);
            const QString folded = u < 0x80 ? QString(QChar(u >= 'A' && u <= 'Z' ? unit + 32 : unit))
                                   : QChar::isSurrogate(u) ? QString(QChar(unit))
                                                           : fold_char(QStringView(&unit, 1));
            Entry& e = entries[u];
            e.offset = std::uint32_t(pool.size());
            e.length = std::uint8_t(folded.size());
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

// Folds the text one character at a time; out(folded, from, to) gets each
// character's folding and its place in the original.
template <typename Out>
void fold_chars(QStringView text, Out out) {
    const FoldTable& t = table();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (!QChar::isHighSurrogate(u) || i + 1 == n || !text[i + 1].isLowSurrogate()) {
            out(t.folded(u), i, i + 1);
            continue;
        }
        const QStringView pair = text.sliced(i, 2);
        const char32_t c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
        if (QChar::decompositionTag(c) == QChar::NoDecomposition && QChar::toCaseFolded(c) == c)
            out(pair, i, i + 2);  // most characters beyond the first plane: emoji, rare kanji
        else
            out(QStringView(fold_char(pair)), i, i + 2);
        ++i;
    }
}

}  // namespace

QString fold_for_search(QStringView text) {
    QString out(text.size() + text.size() / 4 + 8, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    qsizetype k = 0;
    fold_chars(text, [&](QStringView folded, qsizetype, qsizetype) {
        if (k + folded.size() > out.size()) {
            out.resize(std::max(out.size() * 2, k + folded.size()));
            d = reinterpret_cast<char16_t*>(out.data());
        }
        for (const QChar c : folded) d[k++] = c.unicode();
    });
    out.truncate(k);
    return out;
}

bool contains_folded(QStringView text, QStringView key) {
    return key.isEmpty() || fold_for_search(text).contains(key);
}

FoldedText fold_with_map(QStringView text) {
    FoldedText out;
    out.text.reserve(text.size());
    out.from.reserve(size_t(text.size()));
    out.to.reserve(size_t(text.size()));
    fold_chars(text, [&](QStringView folded, qsizetype from, qsizetype to) {
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
