#include "rtf/codepage.h"

#include "store/cp932.h"

#include <QStringDecoder>

#include <map>
#include <memory>

namespace tz::rtf {
namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

void append_1252(QByteArrayView bytes, QString& out) {
    const qsizetype base = out.size();
    out.resize(base + bytes.size());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data()) + base;
    for (unsigned char b : bytes) *dst++ = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
}

// Other code pages come from Qt's codecs when it has them; this is rare in
// memo bodies, so the decoders are made once and kept.
QStringDecoder* decoder_for(int code_page) {
    thread_local std::map<int, std::unique_ptr<QStringDecoder>> decoders;
    auto it = decoders.find(code_page);
    if (it != decoders.end()) return it->second.get();
    std::unique_ptr<QStringDecoder> d;
    for (const QByteArray& name : {"windows-" + QByteArray::number(code_page), "cp" + QByteArray::number(code_page)}) {
        auto candidate = std::make_unique<QStringDecoder>(name.constData(), QStringDecoder::Flag::Stateless);
        if (candidate->isValid()) {
            d = std::move(candidate);
            break;
        }
    }
    QStringDecoder* result = d.get();
    decoders.emplace(code_page, std::move(d));
    return result;
}

}  // namespace

int code_page_of_charset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252;  // symbol fonts: the bytes are the glyph numbers
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

void decode_append(QByteArrayView bytes, int code_page, QString& out) {
    if (bytes.isEmpty()) return;
    switch (code_page) {
    case 932:
        cp932::decode_append(bytes, out);
        return;
    case 1252:
        append_1252(bytes, out);
        return;
    case 65001:
        out += QString::fromUtf8(bytes);
        return;
    default:
        break;
    }
    bool ascii = true;
    for (unsigned char b : bytes) ascii = ascii && b < 0x80;
    if (!ascii) {
        if (QStringDecoder* d = decoder_for(code_page)) {
            d->resetState();  // stateful code pages (EBCDIC shifts) start afresh every time
            out += d->decode(bytes);
            return;
        }
    }
    append_1252(bytes, out);
}

}  // namespace tz::rtf
