// The rtf2txt tool: the text of each file, one line per paragraph, through either path; a non-zero exit
// for a file it cannot open or write; --roundtrip writes a file that reads back with the same text.

#include "rtf_test_util.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// The exit code (-1 for a crash) and the output of one run.
std::pair<int, QString> rtf2txt(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

}  // namespace

class TestRtf2Txt : public QObject {
    Q_OBJECT
private slots:
    void runs() {
        if (!QFileInfo::exists(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs)) QSKIP("rtf2txt is not built");
        const QString dir = test::rtf_data_dir() + u'/';
        const QString rich = dir + u"richedit_japanese.rtf"_qs, text = u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x\n"_qs;
        for (const QStringList& option : {QStringList(), QStringList{u"--document"_qs}})
            QCOMPARE(rtf2txt(option + QStringList{rich, dir + u"plain_sjis.txt"_qs}),
                     std::pair(0, text + u"日本語の行\n\n  表 {x}\\y\n"_qs));
        // A file that cannot be read fails the run; the others are still shown.
        QCOMPARE(rtf2txt({rich, u"/no/such/file"_qs}), std::pair(1, text));
        QTemporaryDir out;
        QCOMPARE(rtf2txt({u"--roundtrip"_qs, out.filePath(u"out.rtf"_qs), dir + u"libreoffice.rtf"_qs}).first, 0);
        QCOMPARE(rtf2txt({out.filePath(u"out.rtf"_qs)}).second, rtf2txt({dir + u"libreoffice.rtf"_qs}).second);
        QCOMPARE(rtf2txt({u"--roundtrip"_qs, out.filePath(u"no/dir/out.rtf"_qs), rich}).first, 1);
    }
};

QTEST_MAIN(TestRtf2Txt)
#include "tst_rtf2txt.moc"
