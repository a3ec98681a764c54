#pragma once
// Writing a QTextDocument as RTF 1.x: code page 932, a font table with
// \fcharset128 for Japanese faces, a colour table, one group per run of one
// format, printable ASCII as is and everything else as \uN with a "?" fallback,
// \par after every paragraph, pictures as \pngblip or \jpegblip with their
// shown size. Tables, lists and links become their text and the character
// formats this writer knows.
//
// A picture whose data the document no longer holds cannot be written: it is
// left out and counted in *pictures_lost, so that a caller never keeps a file
// without it unawares.

#include <QByteArray>
#include <QTextDocument>

namespace tz::rtf {

QByteArray write(const QTextDocument& doc, int* pictures_lost = nullptr);

}  // namespace tz::rtf
