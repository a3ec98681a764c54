#include "store/cp932.h"
#include "store/bulk_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tz::cp932 {
namespace {

struct CodePair {
    std::uint16_t key;
    std::uint16_t value;
};

#include "store/cp932_table.inc"

constexpr char16_t kReplacement = 0xFFFD;

// Single bytes outside ASCII and half-width katakana map into the private use
// area as Windows does, so that they survive a read and a write.
constexpr char16_t kByte80 = 0x0080;
constexpr char16_t kByteA0 = 0xF8F0;
constexpr char16_t kByteFD = 0xF8F1;  // 0xFD, 0xFE, 0xFF -> U+F8F1..U+F8F3

// Characters the code page lacks that input methods commonly give, written as
// Windows' own conversion writes them (its best fit); they read back as the
// code page's own character (〜 comes back as ～).
constexpr CodePair kBestFit[] = {
    {0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00A5, 0x005C}, {0x00AC, 0x81CA}, {0x2014, 0x815C},
    {0x2016, 0x8161}, {0x203E, 0x007E}, {0x2212, 0x817C}, {0x301C, 0x8160},
};

std::uint16_t find(const CodePair* begin, const CodePair* end, std::uint16_t key) {
    const CodePair* it = std::lower_bound(begin, end, key, [](const CodePair& p, std::uint16_t k) { return p.key < k; });
    return (it != end && it->key == key) ? it->value : 0;
}

// The character of a single byte that is not a lead byte.
char16_t decode_single(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return char16_t(0xFF61 + (b - 0xA1));
    if (b == 0x80) return kByte80;
    if (b == 0xA0) return kByteA0;
    if (b >= 0xFD) return char16_t(kByteFD + (b - 0xFD));
    return kReplacement;  // a lead byte on its own
}

// True when no byte has its high bit set; eight bytes at a time.
bool all_ascii(QByteArrayView bytes) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    std::uint64_t high = 0;
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; left > 0; ++p, --left) high |= static_cast<unsigned char>(*p);
    return (high & 0x8080808080808080ull) == 0;
}

// Every pair with a lead byte of 0x80 or more, looked up directly: the start-up,
// the full-text search and the RTF reader decode every line and body through here.
const std::vector<char16_t>& high_pairs() {
    static const std::vector<char16_t> pairs = [] {
        std::vector<char16_t> t(0x8000, 0);
        for (const CodePair& p : kDecode)
            if (p.key >= 0x8000) t[p.key - 0x8000] = char16_t(p.value);
        return t;
    }();
    return pairs;
}

// Decodes into dst, which has room for one unit a byte; returns the units written.
qsizetype decode_into(QByteArrayView bytes, char16_t* dst) {
    const char16_t* pairs = high_pairs().data() - 0x8000;  // lead bytes are 0x81 and more
    qsizetype n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            dst[n++] = b;
        } else if (is_lead_byte(b)) {
            const char16_t c = (i + 1 < size) ? pairs[(b << 8) | p[i + 1]] : 0;
            if (c != 0) {
                dst[n++] = c;
                ++i;
            } else {
                dst[n++] = kReplacement;
            }
        } else {
            dst[n++] = decode_single(b);
        }
    }
    return n;
}

}  // namespace

char16_t decode_pair(unsigned char lead, unsigned char trail) {
    const std::uint16_t key = std::uint16_t((lead << 8) | trail);
    if (key >= 0x8000) return high_pairs()[key - 0x8000];
    return char16_t(find(std::begin(kDecode), std::end(kDecode), key));
}

QString decode(QByteArrayView bytes) {
    // Text of ASCII alone (the numbers, stamps and flags that make most lines
    // of the memo index) takes the library's widening, which is much faster.
    if (all_ascii(bytes)) return QString::fromLatin1(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    out.truncate(decode_into(bytes, reinterpret_cast<char16_t*>(out.data())));
    return out;
}

BlockDecoder::BlockDecoder(qsizetype units) {
    auto [header, data] = QTypedArrayData<char16_t>::allocate(std::max<qsizetype>(units, 1));
    block_ = QString::DataPointer(header, data, 0);
    bulk::advise(data, size_t(std::max<qsizetype>(units, 1)) * sizeof(char16_t));
}

QString BlockDecoder::decode(QByteArrayView bytes) {
    if (bytes.isEmpty() || !block_.d_ptr() || block_.freeSpaceAtEnd() < bytes.size() + 1) return cp932::decode(bytes);
    char16_t* begin = block_.data() + block_.size;
    const qsizetype n = decode_into(bytes, begin);
    begin[n] = u'\0';  // every QString that owns its memory ends in a null
    block_.size += n + 1;
    block_.d_ptr()->ref();
    return QString(QString::DataPointer(block_.d_ptr(), begin, n));
}

void decode_append(QByteArrayView bytes, QString& out) {
    const qsizetype base = out.size();
    out.resize(base + bytes.size());
    out.resize(base + decode_into(bytes, reinterpret_cast<char16_t*>(out.data()) + base));
}

QByteArray encode(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            out.append(char(0xA1 + (c - 0xFF61)));
        } else if (c == kByte80) {
            out.append(char(0x80));
        } else if (c == kByteA0) {
            out.append(char(0xA0));
        } else if (c >= kByteFD && c <= kByteFD + 2) {
            out.append(char(0xFD + (c - kByteFD)));
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.append('?');
            ++i;
        } else if (std::uint16_t code = find(std::begin(kEncode), std::end(kEncode), c); code != 0) {
            out.append(char(code >> 8));
            out.append(char(code & 0xFF));
        } else if (std::uint16_t fit = find(std::begin(kBestFit), std::end(kBestFit), c); fit != 0) {
            if (fit > 0xFF) out.append(char(fit >> 8));
            out.append(char(fit & 0xFF));
        } else {
            out.append('?');
        }
    }
    return out;
}

QStringList unwritable(QStringView text, Fit fit) {
    QStringList found;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const bool pair =
            QChar::isHighSurrogate(text[i].unicode()) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode());
        const QStringView c = text.mid(i, pair ? 2 : 1);
        i += c.size();
        const QByteArray bytes = encode(c);
        const bool lost = fit == Fit::Exact ? decode(bytes) != c : bytes == "?" && c != u"?";
        if (lost && !found.contains(c)) found.append(c.toString());
    }
    return found;
}

}  // namespace tz::cp932
