#include "rtf/writer.h"

#include "rtf/document.h"
#include "rtf/log.h"
#include "rtf/picture.h"
#include "store/cp932.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextList>
#include <QUrl>

#include <cmath>

namespace tz::rtf {
namespace {

// Faces with ASCII names that are Japanese fonts; any face with a Japanese name is one too.
bool is_japanese_face(const QString& name) {
    static const char* const known[] = {"MS Gothic", "MS PGothic", "MS UI Gothic", "MS Mincho", "MS PMincho",
                                        "Meiryo", "Yu Gothic", "Yu Mincho", "IPAGothic", "IPAPGothic",
                                        "IPAMincho", "IPAPMincho", "IPAexGothic", "IPAexMincho", "TakaoGothic",
                                        "TakaoMincho", "VL Gothic", "Noto Sans CJK JP", "Noto Serif CJK JP",
                                        "Noto Sans JP", "Noto Serif JP", "Source Han Sans JP", "Hiragino", "Osaka"};
    for (QChar c : name)
        if (c.unicode() >= 0x80) return true;
    for (const char* k : known)
        if (name.startsWith(QLatin1String(k), Qt::CaseInsensitive)) return true;
    return false;
}

void append_unicode(QByteArray& out, char16_t c) {
    out += "\\u";
    out += QByteArray::number(c > 32767 ? int(c) - 65536 : int(c));
    out += '?';
}

void append_font_name(QByteArray& out, const QString& name, bool japanese) {
    for (QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == ';') {
            append_unicode(out, c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (japanese && !qc.isSurrogate()) {
            // Japanese names as CP932 bytes, the way Windows programs write them; a
            // character outside the code page as \uN.
            const QByteArray bytes = cp932::encode(QStringView(&qc, 1));
            if (bytes == "?" ) {
                append_unicode(out, c);
                continue;
            }
            for (unsigned char b : bytes) {
                static const char hex[] = "0123456789abcdef";
                out += "\\'";
                out += hex[b >> 4];
                out += hex[b & 15];
            }
        } else {
            append_unicode(out, c);
        }
    }
}

void append_text(QByteArray& out, QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == ' ' && i > 0 && text[i - 1] == u' ') {
            out += "\\'20";  // some readers fold a row of blanks into one
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out += "\\line ";
        } else if (c == QChar::Nbsp) {
            out += "\\~";
        } else if (c < 0x20 || c == QChar::ObjectReplacementCharacter || c == 0xFDD0 || c == 0xFDD1) {
            // control characters and markers of objects this writer does not know
        } else {
            append_unicode(out, c);
            // Some readers take the "?" and the letters after it for one word and drop
            // them all; an escaped fallback keeps the next letters apart.
            const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : 0;
            if (next >= 0x20 && next < 0x7F && next != '\\' && next != '{' && next != '}') {
                out.chop(1);
                out += "\\'3f";
            }
        }
    }
}

QString family_of(const QTextCharFormat& f, const QFont& fallback) {
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
    return fallback.family();
}

double size_of(const QTextCharFormat& f, const QFont& fallback) {
    const double pt = f.fontPointSize();
    if (pt > 0) return pt;
    if (fallback.pointSizeF() > 0) return fallback.pointSizeF();
    if (fallback.pixelSize() > 0) return fallback.pixelSize() * 0.75;
    return 12.0;
}

bool underlined(const QTextCharFormat& f) {
    const auto style = f.underlineStyle();
    return f.fontUnderline() || (style != QTextCharFormat::NoUnderline && style != QTextCharFormat::SpellCheckUnderline);
}

bool bold(const QTextCharFormat& f, const QFont& fallback) {
    const int weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : fallback.weight();
    return weight >= QFont::DemiBold;
}

std::optional<QRgb> colour_of(const QTextCharFormat& f) {
    if (!f.hasProperty(QTextFormat::ForegroundBrush)) return std::nullopt;
    const QBrush brush = f.foreground();
    if (brush.style() == Qt::NoBrush) return std::nullopt;
    return brush.color().rgb() | 0xFF000000u;
}

struct PictureBytes {
    QByteArray data;
    const char* kind = "pngblip";
    QSize pixels;  // \picw, \pich: pixels, or 0.01 mm for a metafile
};

PictureBytes picture_bytes(const QTextDocument& doc, const QString& name) {
    PictureBytes out;
    const QUrl url(name);
    const QVariantList source = doc.resource(kPictureSource, picture_source_url(name)).toList();
    if (source.size() >= 2) {
        const int kind = source[0].toInt();
        if (kind == Picture::Png || kind == Picture::Jpeg) {
            out.data = source[1].toByteArray();
            out.kind = kind == Picture::Png ? "pngblip" : "jpegblip";
        } else if ((kind == Picture::Wmf || kind == Picture::Emf || kind == Picture::Dib) && source.size() >= 4 &&
                   !source[1].toByteArray().isEmpty()) {
            // A picture this program cannot show goes back as it came.
            out.data = source[1].toByteArray();
            out.kind = kind == Picture::Wmf ? "wmetafile8" : kind == Picture::Emf ? "emfblip" : "dibitmap0";
            out.pixels = QSize(source[2].toInt(), source[3].toInt());
            return out;
        }
    }
    QImage image;
    if (out.data.isEmpty()) {
        const QVariant v = doc.resource(QTextDocument::ImageResource, url);
        if (v.userType() == QMetaType::QByteArray) {
            const QByteArray bytes = v.toByteArray();
            if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
                out.data = bytes;
            } else if (bytes.startsWith("\xFF\xD8\xFF")) {
                out.data = bytes;
                out.kind = "jpegblip";
            } else {
                image = QImage::fromData(bytes);
            }
        } else if (v.userType() == QMetaType::QImage) {
            image = v.value<QImage>();
        } else if (v.userType() == QMetaType::QPixmap) {
            image = v.value<QPixmap>().toImage();
        }
        if (out.data.isEmpty() && !image.isNull()) out.data = png_bytes(image);
    }
    if (!out.data.isEmpty()) {
        QBuffer buffer(&out.data);
        buffer.open(QIODevice::ReadOnly);
        out.pixels = QImageReader(&buffer).size();
    }
    return out;
}

// False when the picture's data cannot be found; nothing is written then.
bool append_picture(QByteArray& out, const QTextDocument& doc, const QTextImageFormat& f) {
    const PictureBytes pic = picture_bytes(doc, f.name());
    if (pic.data.isEmpty()) return false;
    double w = f.width();
    double h = f.height();
    const QSize natural = pic.pixels.width() > 0 && pic.pixels.height() > 0 ? pic.pixels : QSize(32, 32);
    if (w <= 0 && h <= 0) {
        w = natural.width();
        h = natural.height();
    } else if (w <= 0) {
        w = natural.height() > 0 ? h * natural.width() / natural.height() : h;
    } else if (h <= 0) {
        h = natural.width() > 0 ? w * natural.height() / natural.width() : w;
    }
    out += "{\\pict\\";
    out += pic.kind;
    out += "\\picw" + QByteArray::number(natural.width());
    out += "\\pich" + QByteArray::number(natural.height());
    out += "\\picwgoal" + QByteArray::number(qRound(w * kTwipsPerPixel));
    out += "\\pichgoal" + QByteArray::number(qRound(h * kTwipsPerPixel));
    out += '\n';
    static const char hex[] = "0123456789abcdef";
    const qsizetype at = out.size();
    out.resize(at + pic.data.size() * 2 + pic.data.size() / 64 + 1);
    char* p = out.data() + at;
    for (qsizetype i = 0; i < pic.data.size(); ++i) {
        const auto b = static_cast<unsigned char>(pic.data[i]);
        *p++ = hex[b >> 4];
        *p++ = hex[b & 15];
        if (i % 64 == 63) *p++ = '\n';
    }
    out.truncate(p - out.data());
    out += "}";
    return true;
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : doc_(doc), default_font_(doc.defaultFont()) {}

    int pictures_lost() const { return pictures_lost_; }

    QByteArray run() {
        QByteArray body;
        body.reserve(doc_.characterCount() * 4);
        font_index(default_font_.family());
        for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) write_block(body, block);

        QByteArray out = "{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            const bool japanese = is_japanese_face(fonts_[i]);
            out += "{\\f" + QByteArray::number(i) + (japanese ? "\\fnil\\fcharset128 " : "\\fnil\\fcharset0 ");
            append_font_name(out, fonts_[i], japanese);
            out += ";}";
        }
        out += "}\n{\\colortbl;";
        for (QRgb c : colours_)
            out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
                   QByteArray::number(qBlue(c)) + ';';
        out += "}\n\\viewkind4\n";
        out += body;
        out += "}\n";
        return out;
    }

private:
    int font_index(const QString& family) {
        const qsizetype i = fonts_.indexOf(family);
        if (i >= 0) return int(i);
        fonts_.append(family);
        return int(fonts_.size() - 1);
    }

    int colour_index(QRgb c) {
        const qsizetype i = colours_.indexOf(c);
        if (i >= 0) return int(i + 1);
        colours_.append(c);
        return int(colours_.size());
    }

    void format_words(QByteArray& out, const QTextCharFormat& f) {
        out += "\\f" + QByteArray::number(font_index(family_of(f, default_font_)));
        out += "\\fs" + QByteArray::number(std::max(1, int(std::lround(size_of(f, default_font_) * 2))));
        if (bold(f, default_font_)) out += "\\b";
        if (f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : default_font_.italic()) out += "\\i";
        if (underlined(f)) out += "\\ul";
        if (f.fontStrikeOut()) out += "\\strike";
        if (const auto c = colour_of(f)) out += "\\cf" + QByteArray::number(colour_index(*c));
    }

    void write_block(QByteArray& out, const QTextBlock& block) {
        out += "\\pard";
        switch (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask) {
        case Qt::AlignHCenter: out += "\\qc"; break;
        case Qt::AlignRight: out += "\\qr"; break;
        case Qt::AlignJustify: out += "\\qj"; break;
        default: break;
        }
        out += ' ';
        if (QTextList* list = block.textList()) {
            // A list item keeps its number or bullet as text.
            QString marker;
            switch (list->format().style()) {
            case QTextListFormat::ListDisc: marker = QStringLiteral("\u2022"); break;
            case QTextListFormat::ListCircle: marker = QStringLiteral("\u25E6"); break;
            case QTextListFormat::ListSquare: marker = QStringLiteral("\u25AA"); break;
            default: marker = list->itemText(block); break;
            }
            out += '{';
            format_words(out, block.charFormat());
            out += ' ';
            append_text(out, marker);
            out += "\\tab}";
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat f = fragment.charFormat();
            const QString text = fragment.text();
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                for (QChar c : text)
                    if (c == QChar::ObjectReplacementCharacter && !append_picture(out, doc_, image)) {
                        qCWarning(lc_rtf, "picture %s has no data to write", qPrintable(image.name()));
                        ++pictures_lost_;
                    }
                continue;
            }
            out += '{';
            format_words(out, f);
            if (text.startsWith(u' ')) {
                // Written as a byte, a leading blank cannot be taken for the
                // delimiter of the last control word.
                out += "\\'20";
                append_text(out, QStringView(text).sliced(1));
            } else {
                out += ' ';
                append_text(out, text);
            }
            out += '}';
        }
        out += "\\par\n";
    }

    const QTextDocument& doc_;
    const QFont default_font_;
    QStringList fonts_;
    QList<QRgb> colours_;
    int pictures_lost_ = 0;
};

}  // namespace

QByteArray write(const QTextDocument& doc, int* pictures_lost) {
    Writer writer(doc);
    QByteArray out = writer.run();
    if (pictures_lost) *pictures_lost = writer.pictures_lost();
    return out;
}

}  // namespace tz::rtf
