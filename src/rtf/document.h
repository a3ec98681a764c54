#pragma once
// Reading RTF into a QTextDocument, and the plain text of RTF without one.

#include "rtf/sink.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTextDocument>
#include <QUrl>

namespace tz::rtf {

// Replaces the document's content with the RTF (or plain text) of bytes. Text
// without a font or size of its own takes the document's default font.
void read_into(QByteArrayView bytes, QTextDocument& doc);

// The document's plain text for these bytes, as QTextDocument::toPlainText()
// gives it after read_into(): paragraphs joined by "\n", a picture as
// U+FFFC. Builds no document and decodes no picture.
QString plain_text(QByteArrayView bytes);

// Pictures live in the document as two resources: the image that is shown
// (QTextDocument::ImageResource, under the name of the image format) and the
// bytes the writer writes back (kPictureSource, under picture_source_url() of
// that name: a QVariantList of the Picture::Kind, the bytes and, for a
// metafile, its \picw and \pich). A metafile or DIB this reader cannot show
// keeps its bytes, so that saving does not lose it.
inline constexpr int kPictureSource = QTextDocument::UserResource + 1;
QUrl picture_source_url(const QString& image_name);

// Adds a picture under a new name and returns the name for a QTextImageFormat.
// source_size is the \picw and \pich of a metafile that is kept as it came.
QString add_picture(QTextDocument& doc, const QImage& image, const QByteArray& bytes, Picture::Kind kind,
                    QSize source_size = {});

}  // namespace tz::rtf
