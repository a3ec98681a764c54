#include "ui/rich_text_box.h"

#include "rtf/document.h"
#include "rtf/picture.h"
#include "rtf/reader.h"
#include "rtf/writer.h"
#include "store/file_io.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextFrame>

#include <cmath>
#include <memory>

namespace tz {
namespace {

// The names under which programs offer RTF on the clipboard; the first is the
// one this box gives.
const QLatin1String kRtfFormats[] = {QLatin1String("text/rtf"), QLatin1String("application/rtf"),
                                     QLatin1String("text/richtext")};

bool has_rtf(const QMimeData* source) {
    for (const QLatin1String& f : kRtfFormats)
        if (source->hasFormat(f)) return true;
    return false;
}

QByteArray rtf_of(const QMimeData* source) {
    for (const QLatin1String& f : kRtfFormats) {
        const QByteArray bytes = source->data(f);
        if (rtf::is_rtf(bytes)) return bytes;
    }
    return {};
}

QImage image_of(const QVariant& resource) {
    switch (resource.userType()) {
    case QMetaType::QImage: return resource.value<QImage>();
    case QMetaType::QPixmap: return resource.value<QPixmap>().toImage();
    case QMetaType::QByteArray: return QImage::fromData(resource.toByteArray());
    default: return {};
    }
}

struct PictureAt {
    int position;
    int length;
    QTextImageFormat format;
};

// The pictures between start and end, last first, so that changing one leaves
// the positions of the others as they were.
QList<PictureAt> pictures_in(const QTextDocument& doc, int start, int end) {
    QList<PictureAt> out;
    for (QTextBlock b = doc.findBlock(start); b.isValid() && b.position() < end; b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = std::max(f.position(), start);
            const int to = std::min(f.position() + f.length(), end);
            if (from < to && f.charFormat().isImageFormat())
                out.prepend({from, to - from, f.charFormat().toImageFormat()});
        }
    return out;
}

void set_format(QTextDocument& doc, const PictureAt& p, const QTextCharFormat& f) {
    QTextCursor c(&doc);
    c.setPosition(p.position);
    c.setPosition(p.position + p.length, QTextCursor::KeepAnchor);
    c.setCharFormat(f);
}

QString plain(QString text) {
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::Nbsp, u' ');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

template <typename T>
void fold(std::optional<T>& value, bool& first, const T& next) {
    if (first)
        value = next;
    else if (value && !(*value == next))
        value.reset();
}

}  // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent), default_font_(document()->defaultFont()) {
    setAcceptRichText(true);
    // Tab moves on to the next control; Ctrl+Tab types a tab character.
    setTabChangesFocus(true);
    viewport()->setMouseTracking(true);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::selection_moved);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::selection_moved);
}

RichTextBox::~RichTextBox() = default;

QTextCharFormat RichTextBox::default_format() const {
    QTextCharFormat f;
    f.setFontFamilies({default_font_.family()});
    if (default_font_.pointSizeF() > 0) f.setFontPointSize(default_font_.pointSizeF());
    return f;
}

void RichTextBox::set_default_font(const QFont& font) {
    default_font_ = font;
    document()->setDefaultFont(font);
    if (document()->isEmpty()) setCurrentCharFormat(default_format());
}

void RichTextBox::after_load() {
    QTextCursor c(document());
    setTextCursor(c);
    if (document()->isEmpty()) setCurrentCharFormat(default_format());
    selection_moved();
}

bool RichTextBox::load_file(const QString& path) {
    const std::optional<QByteArray> bytes = read_file(path);
    if (!bytes) {
        set_text(QString());
        return false;
    }
    return load_rtf(*bytes);
}

bool RichTextBox::load_rtf(const QByteArray& bytes) {
    rtf::read_into(bytes, *document());
    after_load();
    return true;
}

QByteArray RichTextBox::rtf(int* pictures_lost) const { return rtf::write(*document(), pictures_lost); }

bool RichTextBox::save_file(const QString& path) {
    int lost = 0;
    const QByteArray bytes = rtf(&lost);
    return lost == 0 && write_file_atomic(path, bytes);
}

QString RichTextBox::text() const { return plain(document()->toPlainText()); }

void RichTextBox::set_text(const QString& text) {
    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    if (!text.isEmpty()) {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
        QTextCursor c(doc);
        c.insertText(t, default_format());
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    after_load();
}

int RichTextBox::sel_start() const { return textCursor().selectionStart(); }

int RichTextBox::sel_length() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

QString RichTextBox::sel_text() const { return plain(textCursor().selectedText()); }

void RichTextBox::set_sel_start(int start) {
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(start, 0, document()->characterCount() - 1));
    setTextCursor(c);
}

void RichTextBox::set_sel_length(int length) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    const int last = document()->characterCount() - 1;
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(length, 0), start, last), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

RichTextBox::SelFormat RichTextBox::sel_format() const {
    SelFormat out;
    const QColor auto_colour = palette().color(QPalette::Text);
    bool first = true;
    auto add = [&](const QTextCharFormat& f) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        fold(out.font_name, first, families.isEmpty() ? document()->defaultFont().family() : families.first());
        fold(out.size, first, f.fontPointSize() > 0 ? f.fontPointSize() : document()->defaultFont().pointSizeF());
        fold(out.bold, first, f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                                     : document()->defaultFont().bold());
        fold(out.italic, first, f.fontItalic());
        fold(out.underline, first, f.fontUnderline());
        fold(out.strike, first, f.fontStrikeOut());
        const QBrush brush = f.foreground();
        fold(out.colour, first,
             f.hasProperty(QTextFormat::ForegroundBrush) && brush.style() != Qt::NoBrush ? brush.color() : auto_colour);
        first = false;
    };
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        add(currentCharFormat());
        return out;
    }
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    QList<QTextCharFormat> images;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end) continue;
            if (f.charFormat().isImageFormat())
                images.append(f.charFormat());
            else
                add(f.charFormat());
        }
    }
    if (first) {
        // Only pictures, or only paragraph breaks, are selected.
        for (const QTextCharFormat& f : images) add(f);
        if (first) add(c.charFormat());
    }
    return out;
}

void RichTextBox::merge(const QTextCharFormat& format) {
    mergeCurrentCharFormat(format);
}

void RichTextBox::set_sel_font_name(const QString& name) {
    QTextCharFormat f;
    f.setFontFamilies({name});
    merge(f);
}

void RichTextBox::set_sel_size(double points) {
    QTextCharFormat f;
    f.setFontPointSize(std::max(0.5, std::round(points * 2) / 2));
    merge(f);
}

void RichTextBox::set_sel_bold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    merge(f);
}

void RichTextBox::set_sel_italic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    merge(f);
}

void RichTextBox::set_sel_underline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    merge(f);
}

void RichTextBox::set_sel_strike(bool on) {
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    merge(f);
}

void RichTextBox::set_sel_colour(const QColor& colour) {
    QTextCharFormat f;
    f.setForeground(colour);
    merge(f);
}

void RichTextBox::print_to(QPrinter* printer) {
    if (!printer) return;
    // The copy asks this box for its pictures.
    std::unique_ptr<QTextDocument> copy(document()->clone(this));
    const QTextCursor c = textCursor();
    if (c.hasSelection()) {
        // Everything outside the selection goes; the rest keeps its look.
        QTextCursor tail(copy.get());
        tail.setPosition(c.selectionEnd());
        tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        tail.removeSelectedText();
        QTextCursor head(copy.get());
        head.setPosition(c.selectionStart(), QTextCursor::KeepAnchor);
        head.removeSelectedText();
    }
    // The pages hold the memo's text and nothing else (no page number at the
    // foot), laid out at the printer's resolution with 2 cm margins.
    QPainter painter;
    if (!painter.begin(printer)) return;
    copy->documentLayout()->setPaintDevice(printer);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    const qreal margin = 2 / 2.54 * logicalDpiY();  // screen units: the layout scales them to the printer
    frame.setMargin(margin);
    copy->rootFrame()->setFrameFormat(frame);
    const QSizeF page(printer->width(), printer->height());
    copy->setPageSize(page);
    for (int i = 0; i < copy->pageCount(); ++i) {
        if (i > 0 && !printer->newPage()) break;
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);  // black on paper whatever the screen's colours
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}

void RichTextBox::selection_moved() {
    const QTextCursor c = textCursor();
    const int revision = document()->revision();
    if (c.anchor() == last_anchor_ && c.position() == last_position_ && revision == last_revision_) return;
    last_anchor_ = c.anchor();
    last_position_ = c.position();
    last_revision_ = revision;
    emit sel_change();
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        textCursor().insertText(QStringLiteral("\t"));
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent* event) {
    // Qt lets text an input method commits into a read-only box that can be
    // selected with the mouse: a box that only shows takes none.
    if (isReadOnly()) {
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    emit mouse_up(event->button());
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    emit mouse_move(event->position().toPoint());
}

// The selection with its pictures' images and bytes, so that a paste keeps
// them whatever this box shows by then. RTF is what this box and word
// processors paste; HTML, with the pictures inline, and plain text are for the
// programs that take no RTF; a picture selected on its own is also an image.
QMimeData* RichTextBox::createMimeDataFromSelection() const {
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(textCursor().selection());
    const QList<PictureAt> pictures = pictures_in(selection, 0, selection.characterCount());
    for (const PictureAt& p : pictures) {
        const QString name = p.format.name();
        for (const auto& [type, url] : {std::pair(int(QTextDocument::ImageResource), QUrl(name)),
                                        std::pair(rtf::kPictureSource, rtf::picture_source_url(name))}) {
            const QVariant resource = document()->resource(type, url);
            if (resource.isValid()) selection.addResource(type, url, resource);
        }
    }
    auto* data = new QMimeData;
    data->setData(kRtfFormats[0], rtf::write(selection));
    QString text = selection.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    data->setText(text);
    if (pictures.size() == 1 && pictures[0].length == 1 && selection.characterCount() == 2) {
        const QImage image = image_of(selection.resource(QTextDocument::ImageResource, QUrl(pictures[0].format.name())));
        if (!image.isNull()) data->setImageData(image);
    }
    for (const PictureAt& p : pictures) {
        QTextImageFormat f = p.format;
        const QImage image = image_of(selection.resource(QTextDocument::ImageResource, QUrl(f.name())));
        f.setName(QStringLiteral("data:image/png;base64,") + QString::fromLatin1(rtf::png_bytes(image).toBase64()));
        set_format(selection, p, f);
    }
    data->setHtml(selection.toHtml());
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return has_rtf(source) || source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

// RTF comes first: it carries its pictures, where HTML may only name them. A
// picture pasted on its own (a screenshot, an image from another program)
// becomes a picture of the box; anything else is pasted as Qt pastes it.
void RichTextBox::insertFromMimeData(const QMimeData* source) {
    const QByteArray rtf_bytes = has_rtf(source) ? rtf_of(source) : QByteArray();
    if (!rtf_bytes.isEmpty()) {
        insert_rtf(rtf_bytes);
        return;
    }
    if (source->hasImage() && !source->hasHtml()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull()) {
            QTextImageFormat f;
            f.setName(rtf::add_picture(*document(), image, rtf::png_bytes(image), rtf::Picture::Png));
            textCursor().insertImage(f);
            return;
        }
    }
    QTextCursor c = textCursor();
    c.beginEditBlock();
    const int start = c.selectionStart();
    QTextEdit::insertFromMimeData(source);
    keep_pictures(*document(), start, textCursor().position());
    c.endEditBlock();
}

// Read as a memo body is read, then inserted at the caret with its formats.
void RichTextBox::insert_rtf(const QByteArray& bytes) {
    QTextDocument scratch;
    rtf::read_into(bytes, scratch);
    QTextCursor c = textCursor();
    c.beginEditBlock();
    const int start = c.selectionStart();
    c.insertFragment(QTextDocumentFragment(&scratch));
    keep_pictures(scratch, start, c.position());
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

// Gives the pictures just pasted between start and end their images and bytes
// in this box's document, from the document they came in. A picture whose
// image cannot be had (pasted HTML that names a picture on the web or a file
// that is no image) shows only as a broken mark and could never be saved, so
// it is taken out.
void RichTextBox::keep_pictures(const QTextDocument& from, int start, int end) {
    for (const PictureAt& p : pictures_in(*document(), start, end)) {
        const QUrl image_url(p.format.name());
        const QVariant image = from.resource(QTextDocument::ImageResource, image_url);
        if (image_of(image).isNull()) {
            QTextCursor c(document());
            c.setPosition(p.position);
            c.setPosition(p.position + p.length, QTextCursor::KeepAnchor);
            c.removeSelectedText();
            continue;
        }
        if (&from == document()) continue;
        document()->addResource(QTextDocument::ImageResource, image_url, image);
        const QUrl source_url = rtf::picture_source_url(p.format.name());
        const QVariant source = from.resource(rtf::kPictureSource, source_url);
        if (source.isValid()) document()->addResource(rtf::kPictureSource, source_url, source);
    }
}

}  // namespace tz
