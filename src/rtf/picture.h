#pragma once
// Turning the picture data of an RTF file into an image: PNG and JPEG as they
// are, a device-independent bitmap (\dibitmap), and a Windows metafile whose
// records carry such a bitmap, the form Windows rich-edit controls write for a
// pasted picture. Pictures made here are kept as PNG.

#include "rtf/sink.h"

#include <QByteArrayView>
#include <QImage>

namespace tz::rtf {

// A document pixel is 1/96 inch.
inline constexpr double kTwipsPerPixel = 15.0;

// The image of a picture, or a null image when the data holds none this
// reader knows.
QImage decode_picture(const Picture& picture);

// A packed DIB (BITMAPINFOHEADER or BITMAPCOREHEADER, colour table, bits).
QImage dib_to_image(QByteArrayView dib);

// The packed DIB of the first META_DIBBITBLT, META_DIBSTRETCHBLT or
// META_STRETCHDIB record of a metafile, or an empty view.
QByteArrayView wmf_bitmap(QByteArrayView wmf);

// The image as PNG.
QByteArray png_bytes(const QImage& image);

}  // namespace tz::rtf
