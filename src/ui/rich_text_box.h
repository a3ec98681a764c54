#pragma once
// The rich-text box: a QTextEdit with the operations the memo windows use.
// Content is loaded from and saved to RTF (a file without an RTF header loads
// as plain CP932 text); text() gives the plain text with CR LF between
// paragraphs.
//
// Positions (sel_start, sel_length) count the box's own characters: a
// paragraph break and a picture count as one character each, so a position is
// an offset into the content where every CR LF of text() counts as one.

#include <QColor>
#include <QFont>
#include <QTextEdit>

#include <optional>

class QPrinter;

namespace tz {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;

    // Replaces the content with the file's RTF, or its plain text when it has
    // no RTF header. False when the file cannot be read; the box is then empty.
    bool load_file(const QString& path);
    bool load_rtf(const QByteArray& bytes);
    // The content as RTF; *pictures_lost counts the pictures whose data could
    // not be found and which the RTF therefore lacks.
    QByteArray rtf(int* pictures_lost = nullptr) const;
    // False, with nothing written, when the file cannot be written or a
    // picture would be missing from it.
    bool save_file(const QString& path);

    // Paragraphs joined by CR LF; pictures have no text.
    QString text() const;
    // Replaces the content with unformatted text in the default font; CR LF, LF
    // or CR start a new paragraph. Empty text empties the box.
    void set_text(const QString& text);
    // The font of set_text() and of the first text typed into an empty box.
    void set_default_font(const QFont& font);
    QFont default_font() const { return default_font_; }

    int sel_start() const;
    int sel_length() const;
    // The selected text, paragraph breaks as CR LF.
    QString sel_text() const;
    // Moves the caret there, with nothing selected.
    void set_sel_start(int start);
    // Selects this many characters from the selection's start.
    void set_sel_length(int length);

    // An attribute is nothing when it differs within the selection.
    struct SelFormat {
        std::optional<QString> font_name;
        std::optional<double> size;
        std::optional<bool> bold, italic, underline, strike;
        std::optional<QColor> colour;
    };
    SelFormat sel_format() const;
    // Each applies to the selection, or to the text typed next at the caret.
    void set_sel_font_name(const QString& name);
    void set_sel_size(double points);  // kept to half points, as RTF keeps it
    void set_sel_bold(bool on);
    void set_sel_italic(bool on);
    void set_sel_underline(bool on);
    void set_sel_strike(bool on);
    void set_sel_colour(const QColor& colour);

    // Prints the selection, or everything when nothing is selected, as shown,
    // with nothing added (no page numbers).
    void print_to(QPrinter* printer);

signals:
    void sel_change();
    void mouse_up(Qt::MouseButton button);
    void mouse_move(QPoint position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // A copy or a drag carries the selection itself, pictures included.
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    QTextCharFormat default_format() const;
    void after_load();
    void insert_rtf(const QByteArray& bytes);
    void keep_pictures(const QTextDocument& from, int start, int end);
    void merge(const QTextCharFormat& format);
    void selection_moved();

    QFont default_font_;
    int last_anchor_ = -1;
    int last_position_ = -1;
    int last_revision_ = -1;
};

}  // namespace tz
