// rtf2txt FILE...             the text each file shows in the rich-text box, UTF-8,
//                             one line per paragraph, through the plain-text path
// rtf2txt --document FILE...  the same through a QTextDocument
// rtf2txt --roundtrip OUT.rtf FILE
//                             loads FILE into a document and writes it back as OUT.rtf
// Exits with 1 when a file cannot be read or written, 2 on a usage error.

#include "rtf/document.h"
#include "rtf/writer.h"
#include "store/file_io.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

int usage() {
    std::fputs("usage: rtf2txt [--document] FILE...\n       rtf2txt --roundtrip OUT.rtf FILE\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool document = false;
    QString roundtrip_out;
    if (!args.isEmpty() && args.first() == u"--document") {
        document = true;
        args.removeFirst();
    } else if (!args.isEmpty() && args.first() == u"--roundtrip") {
        if (args.size() != 3) return usage();
        roundtrip_out = args[1];
        args = args.mid(2);
    }
    if (args.isEmpty()) return usage();

    int status = 0;
    for (const QString& path : args) {
        const std::optional<QByteArray> bytes = tz::read_file(path);
        if (!bytes) {
            std::fprintf(stderr, "rtf2txt: cannot read %s\n", qPrintable(path));
            status = 1;
            continue;
        }
        if (!roundtrip_out.isEmpty()) {
            QTextDocument doc;
            tz::rtf::read_into(*bytes, doc);
            if (!tz::write_file_atomic(roundtrip_out, tz::rtf::write(doc))) {
                std::fprintf(stderr, "rtf2txt: cannot write %s\n", qPrintable(roundtrip_out));
                status = 1;
            }
            continue;
        }
        QString text;
        if (document) {
            QTextDocument doc;
            tz::rtf::read_into(*bytes, doc);
            text = doc.toPlainText();
        } else {
            text = tz::rtf::plain_text(*bytes);
        }
        const QByteArray out = text.toUtf8() + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    }
    return status;
}
