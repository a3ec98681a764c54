#include "rtf/reader.h"

#include "rtf/interpreter.h"
#include "store/cp932.h"

#include <QString>

namespace tz::rtf {
namespace {

// Plain text: one paragraph a line, the line end of the last line not opening
// an empty paragraph.
void parse_plain(QByteArrayView bytes, Sink& sink) {
    QString text = cp932::decode(bytes);
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    qsizetype start = 0;
    bool first = true;
    auto line = [&](QStringView l) {
        if (!first) sink.paragraph_end(Align::Left);
        first = false;
        qsizetype run = 0;
        for (qsizetype i = 0; i < l.size(); ++i) {
            const char16_t c = l[i].unicode();
            const bool plain = (c >= 0x20 && c < 0x2028) || c == '\t' || (c > 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC);
            if (plain) continue;
            if (i > run) sink.text(l.sliced(run, i - run));
            run = i + 1;
            if (c == 0x2029) sink.paragraph_end(Align::Left);
            if (c == 0x2028) sink.line_break();
        }
        if (l.size() > run) sink.text(l.sliced(run));
    };
    if (text.isEmpty()) {
        sink.finish(Align::Left);
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        line(QStringView(text).sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    line(QStringView(text).sliced(start));
    sink.finish(Align::Left);
}

// The bytes from the first one that is not a blank or a line end.
QByteArrayView after_blanks(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return bytes.sliced(i);
}

}  // namespace

bool is_rtf(QByteArrayView bytes) { return after_blanks(bytes).startsWith("{\\rtf"); }

void parse(QByteArrayView bytes, Sink& sink) {
    if (!is_rtf(bytes)) {
        parse_plain(bytes, sink);
        return;
    }
    // The blanks before the header are not text of the document.
    interpret(after_blanks(bytes), sink);
}

}  // namespace tz::rtf
