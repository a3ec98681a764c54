#pragma once
// Writing a QTextDocument as RTF 1.x: code page 932, a font table with
// \fcharset128 for Japanese faces, a colour table, one group per run of one
// format, printable ASCII as is and everything else as \uN with a "?" fallback,
// \par after every paragraph, pictures as \pngblip or \jpegblip with their
// shown size. Tables, lists and links become their text and the character
// formats this writer knows.

#include <QByteArray>
#include <QTextDocument>

namespace tz::rtf {

QByteArray write(const QTextDocument& doc);

}  // namespace tz::rtf
