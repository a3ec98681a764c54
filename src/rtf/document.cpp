#include "rtf/document.h"

#include "rtf/log.h"
#include "rtf/picture.h"
#include "rtf/reader.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include <algorithm>
#include <atomic>

namespace tz::rtf {
namespace {

constexpr double kMaxPixels = 20000.0;

Qt::Alignment qt_alignment(Align a) {
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Justify: return Qt::AlignJustify;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

// What a picture this reader cannot show looks like: a grey box with a cross,
// one image shared by all of them and drawn at each picture's size.
QImage placeholder() {
    static const QImage image = [] {
        QImage i(32, 32, QImage::Format_RGB32);
        i.fill(QColor(0xE0, 0xE0, 0xE0));
        QPainter p(&i);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(0, 0, 31, 31);
        p.drawLine(0, 0, 31, 31);
        p.drawLine(0, 31, 31, 0);
        return i;
    }();
    return image;
}

class DocumentSink final : public Sink {
public:
    explicit DocumentSink(QTextDocument& doc) : doc_(doc), cursor_(&doc) {}

    void text(QStringView s) override { buffer_.append(s); }

    void format(const CharFormat& f) override {
        flush();
        format_ = QTextCharFormat();
        if (!f.font_name.isEmpty()) format_.setFontFamilies({f.font_name});
        format_.setFontPointSize(f.half_points / 2.0);
        if (f.bold) format_.setFontWeight(QFont::Bold);
        if (f.italic) format_.setFontItalic(true);
        if (f.underline) format_.setFontUnderline(true);
        if (f.strike) format_.setFontStrikeOut(true);
        if (f.colour) format_.setForeground(QColor::fromRgb(*f.colour));
    }

    void paragraph_end(Align align) override {
        flush();
        set_alignment(align);
        cursor_.insertBlock(cursor_.blockFormat(), format_);
    }

    void line_break() override { buffer_.append(QChar::LineSeparator); }

    void picture(const Picture& pic) override {
        flush();
        QImage image = decode_picture(pic);
        Picture::Kind kind = pic.kind;
        QByteArray bytes = pic.data;
        if (image.isNull()) {
            qCWarning(lc_rtf, "a picture (%lld bytes) could not be read; a placeholder is shown", qlonglong(pic.data.size()));
            image = placeholder();
        } else if (kind != Picture::Png && kind != Picture::Jpeg) {
            // A bitmap from a DIB or a metafile is kept as PNG from here on.
            kind = Picture::Png;
            bytes = png_bytes(image);
        }
        double w = 0;
        double h = 0;
        if (pic.goal_w > 0 && pic.goal_h > 0) {
            w = pic.goal_w / kTwipsPerPixel;
            h = pic.goal_h / kTwipsPerPixel;
        } else if (pic.kind == Picture::Wmf && pic.pic_w > 0 && pic.pic_h > 0) {
            w = pic.pic_w * 1440.0 / 2540.0 / kTwipsPerPixel;  // 0.01 mm
            h = pic.pic_h * 1440.0 / 2540.0 / kTwipsPerPixel;
        } else {
            w = image.width();
            h = image.height();
        }
        w = std::clamp(w * pic.scale_x / 100.0, 1.0, kMaxPixels);
        h = std::clamp(h * pic.scale_y / 100.0, 1.0, kMaxPixels);
        QTextImageFormat f;
        f.merge(format_);
        f.setName(add_picture(doc_, image, bytes, kind, QSize(pic.pic_w, pic.pic_h)));
        f.setWidth(w);
        f.setHeight(h);
        cursor_.insertImage(f);
    }

    void finish(Align align) override {
        flush();
        set_alignment(align);
    }

private:
    void flush() {
        if (buffer_.isEmpty()) return;
        cursor_.insertText(buffer_, format_);
        buffer_.clear();
    }

    void set_alignment(Align align) {
        const Qt::Alignment a = qt_alignment(align);
        QTextBlockFormat bf = cursor_.blockFormat();
        if (bf.alignment() == a) return;
        bf.setAlignment(a);
        cursor_.setBlockFormat(bf);
    }

    QTextDocument& doc_;
    QTextCursor cursor_;
    QTextCharFormat format_;
    QString buffer_;
};

class PlainSink final : public Sink {
public:
    bool wants_formats() const override { return false; }
    bool wants_pictures() const override { return false; }
    void text(QStringView s) override {
        const qsizetype at = out_.size();
        out_.append(s);
        // QTextDocument::toPlainText() shows a no-break space as a space.
        char16_t* const d = reinterpret_cast<char16_t*>(out_.data());
        std::replace(d + at, d + out_.size(), char16_t(QChar::Nbsp), char16_t(u' '));
    }
    void paragraph_end(Align) override { out_.append(u'\n'); }
    void line_break() override { out_.append(u'\n'); }
    void picture(const Picture&) override { out_.append(QChar::ObjectReplacementCharacter); }

    QString out_;
};

}  // namespace

QString add_picture(QTextDocument& doc, const QImage& image, const QByteArray& bytes, Picture::Kind kind,
                    QSize source_size) {
    static std::atomic<unsigned> counter{0};
    const QString name = QStringLiteral("tzpic:%1").arg(++counter);
    doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    doc.addResource(kPictureSource, picture_source_url(name),
                    QVariantList{int(kind), bytes, source_size.width(), source_size.height()});
    return name;
}

// The document keeps resources by URL alone, whatever their type, so the bytes
// need a name of their own.
QUrl picture_source_url(const QString& image_name) { return QUrl(QStringLiteral("tzsrc:") + image_name); }

void read_into(QByteArrayView bytes, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    {
        DocumentSink sink(doc);
        parse(bytes, sink);
    }
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
}

QString plain_text(QByteArrayView bytes) {
    PlainSink sink;
    parse(bytes, sink);
    return std::move(sink.out_);
}

}  // namespace tz::rtf
