// RTF load and save at the size of a large memo body: about 100 KB of
// Japanese rich text with format changes and a picture, in the form Windows
// rich-edit controls write (CP932 \'hh pairs) and in this program's own form
// (\uN). Reading into a QTextDocument is measured against the plain-text
// path, which the full-text search uses, and against writing.

#include "rtf/document.h"
#include "rtf/writer.h"
#include "store/cp932.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTextDocument>

namespace {

QByteArray picture_hex() {
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "PNG").write(image);
    return png.toHex();
}

// A body as a Windows rich-edit control saves it: paragraphs of Japanese and
// some ASCII, a format change every few words, one picture.
const QByteArray& richedit_body() {
    static const QByteArray body = [] {
        const QString words[] = {u"今日の会議では"_qs, u"来年度の予算について"_qs, u"話し合いました。"_qs,
                                 u"Project ABC "_qs, u"担当者は"_qs, u"資料を準備すること。"_qs,
                                 u"表示の確認"_qs, u"①②③の項目"_qs, u"ソフトウェア"_qs};
        QByteArray out =
            "{\\rtf1\\ansi\\ansicpg932\\deff0\\nouicompat\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
            "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
            "\\'96\\'be\\'92\\'a9;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
            "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs20\\lang1041 ";
        static const char hex[] = "0123456789abcdef";
        int n = 0;
        while (out.size() < 100 * 1024) {
            for (unsigned char b : tz::cp932::encode(words[n % 9])) {
                if (b >= 0x80 || b == '\\' || b == '{' || b == '}') {
                    out += "\\'";
                    out += hex[b >> 4];
                    out += hex[b & 15];
                } else {
                    out += char(b);
                }
            }
            switch (n % 7) {
            case 1: out += "\\b "; break;
            case 2: out += "\\b0\\cf1 "; break;
            case 3: out += "\\cf0\\ul "; break;
            case 4: out += "\\ulnone\\f1\\fs24 "; break;
            case 5: out += "\\f0\\fs20\\par\r\n"; break;
            default: break;
            }
            if (n == 400) out += "{\\pict\\pngblip\\picw64\\pich48\\picwgoal960\\pichgoal720\r\n" + picture_hex() + "}";
            ++n;
        }
        out += "\\par\r\n}\r\n";
        return out;
    }();
    return body;
}

const QByteArray& own_body() {
    static const QByteArray body = [] {
        QTextDocument doc;
        tz::rtf::read_into(richedit_body(), doc);
        return tz::rtf::write(doc);
    }();
    return body;
}

void read_document(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) {
        QTextDocument doc;
        tz::rtf::read_into(bytes, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void read_plain(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(tz::rtf::plain_text(bytes));
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_RichEditIntoDocument(benchmark::State& state) { read_document(state, richedit_body()); }
void BM_RichEditPlainText(benchmark::State& state) { read_plain(state, richedit_body()); }
void BM_OwnIntoDocument(benchmark::State& state) { read_document(state, own_body()); }
void BM_OwnPlainText(benchmark::State& state) { read_plain(state, own_body()); }

void BM_Write(benchmark::State& state) {
    QTextDocument doc;
    tz::rtf::read_into(richedit_body(), doc);
    int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray out = tz::rtf::write(doc);
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(bytes);
}

// Baseline: decoding the same bytes as CP932 text, without any RTF.
void BM_Cp932DecodeBaseline(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(tz::cp932::decode(richedit_body()));
    state.SetBytesProcessed(int64_t(state.iterations()) * richedit_body().size());
}

BENCHMARK(BM_RichEditIntoDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RichEditPlainText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OwnIntoDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OwnPlainText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932DecodeBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::fprintf(stderr, "rich-edit body %lld bytes, own form %lld bytes\n", (long long)richedit_body().size(),
                 (long long)own_body().size());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
