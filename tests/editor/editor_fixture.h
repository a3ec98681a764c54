#pragma once
// Opening the editor over a fake main window and reaching its controls by name.

#include "editor/f_kinyu.h"
#include "fake_main_ops.h"
#include "ui/rich_text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace tz::test {

// Types text as an input method commits it (how Japanese text arrives).
inline void type_text(QWidget* w, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(w, &e);
}

struct EditorFixture {
    FakeMainOps ops;
    std::unique_ptr<F_kinyu> dlg;

    // Opens the editor in the given mode and shows it.
    F_kinyu& open(const QString& mode = QStringLiteral("sinki")) {
        ops.hand.editor_mode = mode;
        dlg = std::make_unique<F_kinyu>(ops);
        dlg->show();
        if (!QTest::qWaitForWindowExposed(dlg.get())) qWarning("editor not exposed");
        return *dlg;
    }

    template <typename W>
    W* find(const char* name) const {
        W* w = dlg->findChild<W*>(QLatin1String(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QComboBox* combo(const char* name) const { return find<QComboBox>(name); }
    QLineEdit* line(const char* name) const { return find<QLineEdit>(name); }
    QCheckBox* check(const char* name) const { return find<QCheckBox>(name); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    RichTextBox* body() const { return find<RichTextBox>("RTB_kinyu"); }

    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    // Every file under the data folder with its bytes.
    QMap<QString, QByteArray> files() const {
        QMap<QString, QByteArray> all;
        QDirIterator it(ops.dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            all.insert(p, read_bytes(p));
        }
        return all;
    }
};

}  // namespace tz::test
