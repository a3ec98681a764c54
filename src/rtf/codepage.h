#pragma once
// Decoding the bytes of RTF text in the code page that is in force where they
// stand. Code page 932 goes through the project's own CP932 table.

#include <QByteArrayView>
#include <QString>

namespace tz::rtf {

// The code page of a font's \fcharset, or 0 when the charset says nothing of one
// (1, the default charset, and unknown values).
int code_page_of_charset(int charset);

// Appends the text of bytes in a code page. Unknown code pages are read as
// Windows-1252.
void decode_append(QByteArrayView bytes, int code_page, QString& out);

}  // namespace tz::rtf
