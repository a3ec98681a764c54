#pragma once
// What the reader tells its consumer. The reader walks the RTF once and sends
// plain events: decoded text, paragraph ends, line breaks, character formats
// when they change, and pictures. A consumer that only wants the text says so,
// and then gets no formats and no picture data.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

#include <QRgb>

namespace tz::rtf {

enum class Align { Left, Center, Right, Justify };

struct CharFormat {
    QString font_name;            // empty: the reader's consumer picks its default
    int half_points = 24;         // \fs: font size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<QRgb> colour;   // nothing: the automatic text colour

    bool operator==(const CharFormat&) const = default;
};

struct Picture {
    enum Kind { Png, Jpeg, Dib, Wmf, Emf, Other };
    Kind kind = Other;
    QByteArray data;      // the picture's bytes as the file holds them; empty for a text-only consumer
    int pic_w = 0;        // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
    int pic_h = 0;
    int goal_w = 0;       // \picwgoal, \pichgoal: twips; 0 when absent
    int goal_h = 0;
    int scale_x = 100;    // \picscalex, \picscaley: percent
    int scale_y = 100;
};

class Sink {
public:
    virtual ~Sink() = default;

    // A consumer that returns false gets no format() calls.
    virtual bool wants_formats() const { return true; }
    // A consumer that returns false gets pictures without their data.
    virtual bool wants_pictures() const { return true; }

    // Text of the current format. Never holds a paragraph or line separator or
    // a control character other than TAB.
    virtual void text(QStringView s) = 0;
    // The format of the text and pictures that follow.
    virtual void format(const CharFormat&) {}
    // The end of a paragraph, with that paragraph's alignment.
    virtual void paragraph_end(Align align) = 0;
    // A line break inside a paragraph.
    virtual void line_break() = 0;
    virtual void picture(const Picture& picture) = 0;
    // The end of the input, with the alignment of the last paragraph.
    virtual void finish(Align align) { Q_UNUSED(align); }
};

}  // namespace tz::rtf
