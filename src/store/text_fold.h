#pragma once
// Text as the full-text searches compare it: each character on its own is
// replaced by its compatibility decomposition (full-width ＡＢＣ becomes ABC,
// half-width ｶﾞ and ガ both become カ and a combining voiced sound mark, ㍻
// becomes 平成) and then case folded, for every script that has letter case.
// Hiragana and katakana stay apart. The keyword and the text are folded the
// same way.
//
// Nothing is ever composed or reordered, so a character folds the same
// whatever stands beside it: the folding of a text is the folding of its
// characters one after another, and every piece of text that is literally in
// the original, in any letter case, is still in the folded text.
//
// An occurrence of the folded keyword in the folded text is a hit only where
// it begins with the first unit of an original character and ends with the
// last unit of one: it stands for whole characters of the original, as every
// literal occurrence does, so those stay hits and nothing else is. So ﾄ
// finds the ﾄ of ﾄﾞ (two characters) and か finds か followed by a combining
// sound mark, ｷｰﾜｰﾄﾞ finds キーワード and 平成 finds ㍻; but カ does not find
// the カ that ガ folds to, e does not find é, a lone ﾞ does not find ド, and
// 平 does not find ㍻.
//
// The in-memo search also needs to know which characters of the original text
// a hit covers, so the folding can keep a map from each folded code unit back
// to the original character it came from.

#include <QString>
#include <QStringView>
#include <vector>

namespace tz {

// The folded text, without a map.
QString fold_for_search(QStringView text);

// Whether the text holds a keyword already folded with fold_for_search(): what
// the search across all memos asks of each body. An empty keyword is held by
// every text.
bool contains_folded(QStringView text, QStringView folded_keyword);

struct FoldedText {
    QString text;             // equal to fold_for_search() of the original
    std::vector<int> from;    // per unit of text: where its original character starts
    std::vector<int> to;      // per unit of text: one past its original character's end
};

// The folded text with its map. A surrogate pair is one original character;
// a combining mark is a character of its own.
FoldedText fold_with_map(QStringView text);

// A hit in original code units.
struct TextHit {
    int start = -1;  // -1: none
    int length = 0;
};

// The first hit of an already folded keyword whose first original character
// starts at or after `from`. An empty keyword finds nothing.
TextHit find_folded(const FoldedText& hay, QStringView folded_keyword, int from);

}  // namespace tz
