// The rtf2txt tool: the text of each file, one line per paragraph, through
// either path; a non-zero exit for a file it cannot open; --roundtrip writes a
// file that reads back with the same text.

#include "rtf_test_util.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

struct Run {
    int exit_code = -1;
    QString out;
};

Run rtf2txt(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

}  // namespace

class TestRtf2Txt : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void paths_data();
    void paths();
    void roundtrip();
};

void TestRtf2Txt::initTestCase() {
    if (!QFileInfo::exists(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs)) QSKIP("rtf2txt is not built");
}

void TestRtf2Txt::paths_data() {
    QTest::addColumn<QString>("option");
    QTest::newRow("plain-text path") << QString();
    QTest::newRow("document") << u"--document"_qs;
}

void TestRtf2Txt::paths() {
    QFETCH(QString, option);
    QStringList args;
    if (!option.isEmpty()) args << option;
    args << test::rtf_data_dir() + u"/richedit_japanese.rtf"_qs << test::rtf_data_dir() + u"/plain_sjis.txt"_qs;
    const Run r = rtf2txt(args);
    QCOMPARE(r.exit_code, 0);
    QCOMPARE(r.out, u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x\n日本語の行\n\n  表 {x}\\y\n"_qs);
    // A file that cannot be read fails the run; the others are still shown.
    args.last() = u"/no/such/file"_qs;
    const Run missing = rtf2txt(args);
    QCOMPARE(missing.exit_code, 1);
    QCOMPARE(missing.out, u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x\n"_qs);
}

void TestRtf2Txt::roundtrip() {
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.rtf"_qs);
    QCOMPARE(rtf2txt({u"--roundtrip"_qs, out, test::rtf_data_dir() + u"/libreoffice.rtf"_qs}).exit_code, 0);
    QCOMPARE(rtf2txt({out}).out, rtf2txt({test::rtf_data_dir() + u"/libreoffice.rtf"_qs}).out);
    QCOMPARE(rtf2txt({u"--roundtrip"_qs, dir.filePath(u"missing/dir/out.rtf"_qs),
                      test::rtf_data_dir() + u"/unicode.rtf"_qs}).exit_code, 1);
}

QTEST_MAIN(TestRtf2Txt)
#include "tst_rtf2txt.moc"
