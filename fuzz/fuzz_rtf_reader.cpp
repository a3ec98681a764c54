// Feeds arbitrary bytes to the RTF reader through both consumers and checks
// that they agree: the plain-text path gives the document's text. The document
// is then written and read again, which must give the same text.

#include "rtf/document.h"
#include "rtf/writer.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int app_argc = 1;
    static char name[] = "fuzz_rtf_reader";
    static char* app_argv[] = {name, nullptr};
    static QGuiApplication app(app_argc, app_argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = tz::rtf::plain_text(bytes);
    QTextDocument doc;
    tz::rtf::read_into(bytes, doc);
    const QString text = doc.toPlainText();
    if (plain != text) {
        std::fprintf(stderr, "plain-text path and document differ:\n%s\n---\n%s\n", qPrintable(plain), qPrintable(text));
        std::abort();
    }
    const QByteArray written = tz::rtf::write(doc);
    QTextDocument again;
    tz::rtf::read_into(written, again);
    // Text the writer cannot hold (a picture without data) is the only allowed difference.
    QString expected = text;
    QString actual = again.toPlainText();
    expected.remove(QChar::ObjectReplacementCharacter);
    actual.remove(QChar::ObjectReplacementCharacter);
    if (expected != actual) {
        std::fprintf(stderr, "written document reads back differently:\n%s\n---\n%s\n", qPrintable(expected),
                     qPrintable(actual));
        std::abort();
    }
    return 0;
}
