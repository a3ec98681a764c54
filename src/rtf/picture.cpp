#include "rtf/picture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <cstdint>

namespace tz::rtf {
namespace {

std::uint32_t u32(QByteArrayView b, qsizetype at) {
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<std::uint32_t>(b.data() + at) : 0;
}
std::uint16_t u16(QByteArrayView b, qsizetype at) {
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<std::uint16_t>(b.data() + at) : 0;
}

constexpr std::uint16_t kMetaDibBitBlt = 0x0940;
constexpr std::uint16_t kMetaDibStretchBlt = 0x0B41;
constexpr std::uint16_t kMetaStretchDib = 0x0F43;
constexpr std::uint16_t kMetaEof = 0x0000;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

}  // namespace

QImage dib_to_image(QByteArrayView dib) {
    const std::uint32_t header = u32(dib, 0);
    if (header < 12 || header > 1024 || header >= std::uint32_t(dib.size())) return {};
    std::uint32_t palette_bytes = 0;
    if (header == 12) {
        const std::uint16_t bits = u16(dib, 10);
        if (bits <= 8) palette_bytes = 3u << bits;
    } else {
        if (header < 40) return {};
        const std::uint16_t bits = u16(dib, 14);
        const std::uint32_t compression = u32(dib, 16);
        std::uint32_t used = u32(dib, 32);
        if (used == 0 && bits <= 8) used = 1u << bits;
        if (used > 65536) return {};
        palette_bytes = used * 4;
        if (header == 40 && (compression == 3 || compression == 6)) palette_bytes += compression == 3 ? 12 : 16;
    }
    const std::uint32_t bits_offset = 14 + header + palette_bytes;
    const std::uint32_t file_size = 14 + std::uint32_t(dib.size());
    if (bits_offset > file_size) return {};
    QByteArray bmp;
    bmp.reserve(file_size);
    bmp.append("BM", 2);
    char le[4];
    qToLittleEndian<std::uint32_t>(file_size, le);
    bmp.append(le, 4);
    bmp.append(4, '\0');
    qToLittleEndian<std::uint32_t>(bits_offset, le);
    bmp.append(le, 4);
    bmp.append(dib.data(), dib.size());
    QImage image;
    image.loadFromData(bmp, "BMP");
    return image;
}

QByteArrayView wmf_bitmap(QByteArrayView wmf) {
    qsizetype at = 0;
    if (u32(wmf, 0) == kPlaceableKey) at = 22;
    // The metafile header: type, header size in words, version, size, objects, largest record, members.
    const std::uint16_t header_words = u16(wmf, at + 2);
    if (header_words < 9) return {};
    at += qsizetype(header_words) * 2;
    while (at + 6 <= wmf.size()) {
        const std::uint32_t words = u32(wmf, at);
        const std::uint16_t function = u16(wmf, at + 4);
        if (words < 3 || function == kMetaEof) break;
        const qsizetype size = std::min<qsizetype>(qsizetype(words) * 2, wmf.size() - at);
        qsizetype dib_offset = 0;
        switch (function) {
        case kMetaDibBitBlt:
            // Without a bitmap the record is the bare parameters of a pattern blit.
            if (words > std::uint32_t((function >> 8) + 3)) dib_offset = 6 + 16;
            break;
        case kMetaDibStretchBlt:
            if (words > std::uint32_t((function >> 8) + 3)) dib_offset = 6 + 20;
            break;
        case kMetaStretchDib:
            dib_offset = 6 + 22;
            break;
        default:
            break;
        }
        if (dib_offset > 0 && dib_offset < size) return wmf.sliced(at + dib_offset, size - dib_offset);
        if (qsizetype(words) * 2 > wmf.size() - at) break;
        at += qsizetype(words) * 2;
    }
    return {};
}

QImage decode_picture(const Picture& picture) {
    switch (picture.kind) {
    case Picture::Png:
    case Picture::Jpeg:
        return QImage::fromData(picture.data);
    case Picture::Dib:
        return dib_to_image(picture.data);
    case Picture::Wmf: {
        const QByteArrayView dib = wmf_bitmap(picture.data);
        return dib.isEmpty() ? QImage() : dib_to_image(dib);
    }
    case Picture::Emf:
    case Picture::Other:
        break;
    }
    return {};
}

QByteArray png_bytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "PNG").write(image);
    return bytes;
}

}  // namespace tz::rtf
