#include "store/text_fold.h"

#include <algorithm>
#include <cstdint>
#include <optional>

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
        char16_t single = 0;       // the folding when it is one unit
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
            // A high surrogate has no folding of its own: see fold_surrogate_at().
            e.length = QChar::isHighSurrogate(u) ? 0 : std::uint8_t(folded.size());
            e.single = folded.size() == 1 ? char16_t(folded[0].unicode()) : 0;
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

// The folding of the character that starts with a high surrogate at text[i],
// and how many units it takes there: 2 for a surrogate pair, 1 for a lone
// surrogate. `held` keeps a folding made on the spot.
struct CharFolding {
    QStringView folded;
    qsizetype units;
};
CharFolding fold_surrogate_at(QStringView text, qsizetype i, QString& held) {
    const char16_t u = text[i].unicode();
    if (i + 1 == text.size() || !text[i + 1].isLowSurrogate()) return {text.sliced(i, 1), 1};
    const QStringView pair = text.sliced(i, 2);
    const char32_t c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
    if (QChar::decompositionTag(c) == QChar::NoDecomposition && QChar::toCaseFolded(c) == c)
        return {pair, 2};  // most characters beyond the first plane: emoji, rare kanji
    held = fold_char(pair);
    return {held, 2};
}

// Folds the text one character at a time; out(folded, from, to) gets each
// character's folding and its place in the original.
template <typename Out>
void fold_chars(QStringView text, Out out) {
    const FoldTable& t = table();
    const qsizetype n = text.size();
    QString held;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (!QChar::isHighSurrogate(u)) {
            out(t.folded(u), i, i + 1);
            continue;
        }
        const CharFolding f = fold_surrogate_at(text, i, held);
        out(f.folded, i, i + f.units);
        i += f.units - 1;
    }
}

// Walks the original text beside its folding, forward only, to tell whether a
// unit of the folding begins an original character. Made only once the folded
// text holds the keyword, so a text that does not costs nothing more.
class CharStarts {
public:
    explicit CharStarts(QStringView text) : text_(text) {}
    // Whether folded unit q, or the folding's end, begins an original
    // character; q is never less than in the call before. Passing q inside a
    // character's folding is no harm: no later unit of it begins one either.
    bool begins(qsizetype q) {
        while (k_ < q && i_ < text_.size()) {
            const char16_t u = text_[i_].unicode();
            if (!QChar::isHighSurrogate(u)) {
                k_ += table_.entries[u].length;
                ++i_;
                continue;
            }
            const CharFolding f = fold_surrogate_at(text_, i_, held_);
            k_ += f.folded.size();
            i_ += f.units;
        }
        return k_ == q;
    }

private:
    const FoldTable& table_ = table();
    QStringView text_;
    QString held_;
    qsizetype i_ = 0;  // where the next character starts in the original
    qsizetype k_ = 0;  // where its folding starts
};

// The first occurrence of the key in the folded text at or after unit `at`
// for which whole(start, end) tells that original characters begin at its
// start and at its end; -1 if there is none.
// The first occurrence of the key in the folded text at or after unit `at`,
// exactly as it stands (both are folded already); -1 if there is none.
qsizetype find_units(QStringView folded, QStringView key, qsizetype at) {
    const char16_t* const s = folded.utf16();
    const char16_t* const k = key.utf16();
    const qsizetype m = key.size();
    if (at < 0 || m == 0 || at + m > folded.size()) return m == 0 && at <= folded.size() ? at : -1;
    const char16_t* const last = s + folded.size() - m;  // the last place the key can start
    for (const char16_t* p = s + at; (p = std::find(p, last + 1, k[0])) <= last; ++p)
        if (std::equal(k + 1, k + m, p + 1)) return p - s;
    return -1;
}

template <typename Whole>
qsizetype first_whole_hit(QStringView folded, QStringView key, qsizetype at, Whole whole) {
    for (at = find_units(folded, key, at); at >= 0; at = find_units(folded, key, at + 1))
        if (whole(at, at + key.size())) return at;
    return -1;
}

}  // namespace

QString fold_for_search(QStringView text) {
    // Most units fold to one unit: those go straight through the table. The
    // room left always holds the units still to come, each folding to one.
    const FoldTable& t = table();
    const qsizetype n = text.size();
    QString out(n + n / 4 + 8, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    const char16_t* s = text.utf16();
    qsizetype k = 0;
    QString held;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        const FoldTable::Entry& e = t.entries[u];
        if (e.length == 1) {
            d[k++] = e.single;
            continue;
        }
        const CharFolding f = QChar::isHighSurrogate(u) ? fold_surrogate_at(text, i, held) : CharFolding{t.folded(u), 1};
        i += f.units - 1;
        const qsizetype need = k + f.folded.size() + (n - i - 1);
        if (need > out.size()) {
            out.resize(std::max(out.size() * 2, need));
            d = reinterpret_cast<char16_t*>(out.data());
        }
        for (const QChar c : f.folded) d[k++] = c.unicode();
    }
    out.truncate(k);
    return out;
}

bool contains_folded(QStringView text, QStringView key) {
    if (key.isEmpty()) return true;
    const QString folded = fold_for_search(text);
    std::optional<CharStarts> starts;
    return first_whole_hit(folded, key, 0, [&](qsizetype start, qsizetype end) {
               if (!starts) starts.emplace(text);
               if (!starts->begins(start)) return false;
               CharStarts at_end = *starts;  // the next start may come before this end
               return at_end.begins(end);
           }) >= 0;
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
    const auto begins = [&](qsizetype q) {
        return q == 0 || q == hay.text.size() || hay.from[size_t(q)] != hay.from[size_t(q - 1)];
    };
    qsizetype at = std::lower_bound(hay.from.begin(), hay.from.end(), from) - hay.from.begin();
    at = first_whole_hit(hay.text, key, at, [&](qsizetype start, qsizetype end) { return begins(start) && begins(end); });
    if (at < 0) return {};
    const int start = hay.from[size_t(at)];
    return {start, hay.to[size_t(at + key.size() - 1)] - start};
}

}  // namespace tz
