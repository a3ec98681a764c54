#pragma once
// Conversion between text in memory and the Windows Japanese code page 932
// (Shift-JIS with the NEC and IBM extensions), the form of every text file the
// memo book keeps. The table is compiled in, so the result does not depend on
// how Qt or the C library was built.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tz::cp932 {

// Decodes bytes. Every byte sequence decodes: a lead byte without a valid trail
// byte becomes U+FFFD and the next byte is read on its own.
QString decode(QByteArrayView bytes);
// Appends the decoded bytes to out; for text that arrives in many pieces.
void decode_append(QByteArrayView bytes, QString& out);

// Decodes many short texts into one block of memory, as the memo index's
// tens of thousands of lines are read: each text is a QString that refers to
// its part of the block and keeps the block alive, so that a start-up makes
// one allocation instead of one a line. Such a text behaves as any QString:
// changed, it is copied first while other texts share the block. The block
// holds `units` UTF-16 units; each text takes its bytes' count plus one, and
// a text past that is decoded on its own.
class BlockDecoder {
public:
    explicit BlockDecoder(qsizetype units);
    QString decode(QByteArrayView bytes);

private:
    QString::DataPointer block_;  // the block's own reference; its size is what the texts use
};

// Encodes text. A few characters the code page lacks (〜 − ‖ — ¢ £ ¬ ¥ ‾)
// are written as their nearest code page character, as Windows writes them;
// any other becomes "?" (one "?" for a surrogate pair).
QByteArray encode(QStringView text);

// The characters of a text that encode() cannot keep, each once, in the order
// they first appear (a surrogate pair is one character): those it writes as
// "?" (a "?" of the text itself is kept). With Fit::Exact also those it writes
// as a nearest character, which reads back as another one (〜 as ～, ¥ as \).
enum class Fit { Nearest, Exact };
QStringList unwritable(QStringView text, Fit fit = Fit::Nearest);

// True when b starts a double-byte character.
constexpr bool is_lead_byte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The character of one double-byte code (lead << 8 | trail), or 0 when the code is not
// in the code page.
char16_t decode_pair(unsigned char lead, unsigned char trail);

}  // namespace tz::cp932
