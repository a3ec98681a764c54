#include "gen_data.h"

#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <cmath>

namespace tz::bench {
namespace {

unsigned next(unsigned& s) {
    s = s * 1103515245u + 12345u;
    return (s >> 8) & 0xFFFFFF;
}

const QString kWords[] = {
    QStringLiteral("会議"), QStringLiteral("予定"), QStringLiteral("買い物"), QStringLiteral("メモ"), QStringLiteral("仕事"),
    QStringLiteral("旅行"), QStringLiteral("料理"), QStringLiteral("読書"), QStringLiteral("ﾊﾟｿｺﾝ"), QStringLiteral("ABC"),
    QStringLiteral("電話"), QStringLiteral("連絡先"), QStringLiteral("東京"), QStringLiteral("大阪"), QStringLiteral("①"),
    QStringLiteral("～"), QStringLiteral("報告書"), QStringLiteral("アイデア"), QStringLiteral("健康"), QStringLiteral("2026年"),
};

// A PNG of noise of about the given size, and its \pict group as a rich-edit
// control writes it: hex digits in lines of 128.
QByteArray picture_group(int png_bytes, unsigned seed) {
    const int side = std::max(1, int(std::sqrt(png_bytes / 3.0)));
    QImage image(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < side * 3; ++x) line[x] = uchar(next(seed));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray group = "{\\pict\\pngblip\\picw" + QByteArray::number(side) + "\\pich" + QByteArray::number(side) +
                       "\\picwgoal" + QByteArray::number(side * 15) + "\\pichgoal" + QByteArray::number(side * 15) + "\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128) group += hex.mid(at, 128) + "\r\n";
    return group + "}";
}

QByteArray rich_body(const QString& text, const QByteArray& picture = {}) {
    // A small rich body in the form Windows rich-edit controls write.
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs20 ";
    bool bold = false;
    int n = 0;
    for (const QChar c : text) {
        // Bold red and plain runs take turns, switched between whole characters.
        if (n++ % 40 == 0) {
            rtf += bold ? "\\b0\\cf0 " : "\\b\\cf1 ";
            bold = !bold;
        }
        if (c == u'\n') {
            rtf += "\\par\r\n";
            continue;
        }
        if (c == u'\r') continue;
        for (const char ch : cp932::encode(QStringView(&c, 1))) {
            const unsigned char b = uchar(ch);
            if (b >= 0x80 || b == '\\' || b == '{' || b == '}')
                rtf += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            else
                rtf += char(b);
        }
    }
    rtf += picture;
    rtf += "\\par\r\n}\r\n";
    return rtf;
}

}  // namespace

QString japanese_text(unsigned& seed, int chars) {
    QString s;
    while (s.size() < chars) s += kWords[next(seed) % std::size(kWords)];
    return s;
}

bool generate_data_folder(const QString& folder, const DataShape& shape) {
    QDir().mkpath(folder);
    MemoStore store(folder);
    QDir(folder).mkdir(QStringLiteral("memo1"));
    QDir(folder).mkdir(QStringLiteral("memo2"));
    unsigned seed = shape.seed;

    QStringList categories{CategoryList::all()};
    for (int c = 0; c < shape.categories; ++c) categories.append(japanese_text(seed, 3) + QString::number(c));
    store.categories.set_entries(categories);

    store.settings = Settings::first_start(0, 1000, 1000, 6975, 9450, 1215);
    const QByteArray picture = shape.picture_every > 0 ? picture_group(shape.picture_bytes, shape.seed) : QByteArray();
    bool ok = true;
    for (int m = 1; m <= shape.memos; ++m) {
        MemoRecord r;
        r.date = Value(QStringLiteral("20%1/%2/%3").arg(m % 30, 2, 10, QLatin1Char('0')).arg(1 + m % 12, 2, 10, QLatin1Char('0')).arg(1 + m % 28, 2, 10, QLatin1Char('0')));
        r.category = Value(categories[1 + int(next(seed) % unsigned(shape.categories ? shape.categories : 1))]);
        r.title = Value(japanese_text(seed, 6 + int(next(seed) % 20)));
        r.memo_number = store.next_memo_number();
        // Newest first, as the program keeps the index.
        const int age = shape.memos - m;
        const QString stamp = QStringLiteral("c6/%1/%2 %3:%4:%5")
                                  .arg(12 - (age / 100000) % 12, 2, 10, QLatin1Char('0'))
                                  .arg(28 - (age / 3600) % 28, 2, 10, QLatin1Char('0'))
                                  .arg(23 - (age / 60 / 60) % 24, 2, 10, QLatin1Char('0'))
                                  .arg(59 - (age / 60) % 60, 2, 10, QLatin1Char('0'))
                                  .arg(59 - age % 60, 2, 10, QLatin1Char('0'));
        r.created_stamp = Value(stamp);
        r.updated_stamp = Value(stamp);
        r.lock_flag = Value(m % 50 == 0 ? QStringLiteral("YES") : QStringLiteral("NO"));
        if (shape.bodies) {
            QStringList lines;
            int size = 0;
            while (size < shape.body_bytes) {
                lines.append(japanese_text(seed, 30));
                size += 60;
            }
            const QString text = lines.join(QStringLiteral("\r\n"));
            ok &= write_text_body(store, r.memo_number, text);
            // Every other memo has a rich body; the rest keep plain text there, as imported memos do.
            const bool with_picture = shape.picture_every > 0 && (m / 2) % shape.picture_every == 0;
            const QByteArray rich = (m % 2) ? rich_body(text, with_picture ? picture : QByteArray())
                                            : cp932::encode(text + QStringLiteral("\r\n"));
            ok &= write_file_atomic(store.rich_body_path(r.memo_number), rich);
        }
        store.table.append(std::move(r));
    }
    store.table.resort();
    ok &= write_all(store).isEmpty();
    return ok;
}

}  // namespace tz::bench
