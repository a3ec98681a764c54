#pragma once
// Helpers shared by the RTF engine's tests.

#include "rtf/document.h"
#include "rtf/reader.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace tz::test {

inline QString rtf_data_dir() { return QStringLiteral(TZ_TEST_DATA "/rtf"); }

inline QByteArray rtf_data(const QString& name) {
    QFile f(rtf_data_dir() + u'/' + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing test file %s", qPrintable(name));
    return f.readAll();
}

// The bytes of a test file when rtf names one, else rtf itself.
inline QByteArray bytes_of(const QByteArray& rtf) {
    return rtf.endsWith(".rtf") || rtf.endsWith(".txt") ? rtf_data(QString::fromLatin1(rtf)) : rtf;
}

inline QString document_text(const QByteArray& bytes) {
    QTextDocument doc;
    rtf::read_into(bytes, doc);
    return doc.toPlainText();
}

// A w x h image of one colour, and its bytes in format.
inline std::pair<QImage, QByteArray> picture_of(QColor colour, int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return {image, bytes};
}

// The first fragment of the document whose text contains what.
inline QTextFragment fragment_with(const QTextDocument& doc, const QString& what) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(what)) return it.fragment();
    return {};
}

// How a run of text looks, as one line: family, size, b i u s, colour or "auto";
// what the format leaves open is taken from base.
inline QString look(const QTextCharFormat& f, const QFont& base) {
    const QString family = f.property(QTextFormat::FontFamilies).toStringList().value(0);
    return QStringLiteral("%1 %2pt%3%4%5%6 %7").arg(family.isEmpty() ? base.family() : family)
        .arg(f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF())
        .arg(f.fontWeight() >= QFont::DemiBold ? " b" : "", f.fontItalic() ? " i" : "", f.fontUnderline() ? " u" : "",
             f.fontStrikeOut() ? " s" : "")
        .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "auto");
}

}  // namespace tz::test
