#include "dialogs/f_secpassin.h"

#include "store/memo_store.h"
#include "ui/accessible_names.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/password_box.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tz {
namespace {

constexpr int kInsideWidth = 5700;

void place(QWidget* w, int left, int top, int width, int height) { w->setGeometry(twips::rect_px(left, top, width, height)); }

void colour_text(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

}  // namespace

F_secpassin::F_secpassin(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_secpassin"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("鍵をあけるためのパスワードを入力して下さい。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    colour_text(Label1, Qt::cyan);
    place(Label1, 300, 120, 5295, 225);

    Text1 = new PasswordBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    link_label(Label1, Text1);
    Text1->installEventFilter(this);
    place(Text1, 1380, 480, 2895, 375);

    Label2 = new QLabel(QStringLiteral("鍵がかかっているメモの場合は、ダブルクリックで一番上に移動することができません。"
                                       "一番上に移動したい場合は以下のチェックボックスをチェックして下さい。"),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    colour_text(Label2, Qt::green);
    place(Label2, 120, 960, 5535, 615);

    Check1 = new QCheckBox(QStringLiteral("メモを一番上に移動する"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    colour_text(Check1, Qt::yellow);
    place(Check1, 1200, 1740, 3255, 195 + 60);

    Command1 = new QPushButton(QStringLiteral("CANCEL"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, &F_secpassin::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_secpassin::Command2_Click);
    setTabOrder(Text1, Check1);
    setTabOrder(Check1, Command1);
    setTabOrder(Command1, Command2);

    // Any close that is not OK answers CANCEL, so an earlier answer never counts.
    main_.hand_over().unlock_answer = QStringLiteral("CANCEL");
    setWindowTitle(QStringLiteral("鍵を開けるためのパスワード"));
    main_.set_hint(QStringLiteral("鍵付きメモを表示・訂正するにはパスワードが必要です。"));
    Text1->clear();
    int buttons_top = 2100;
    if (main_.hand_over().editor_mode == u"teisei") {
        Label2->hide();
        Check1->hide();
        outer_height_ = 2040;
        buttons_top = 1020;
    }
    place(Command1, 1380, buttons_top, 1215, 495);
    place(Command2, 3120, buttons_top, 1215, 495);
    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, outer_height_);
    make_fixed_dialog(this, outer, kInsideWidth);
    Text1->setFocus();
}

void F_secpassin::Command2_Click() {
    const QString& password = main_.store().settings[Settings::LockPassword].display();
    main_.hand_over().unlock_answer = Text1->text() == password ? QStringLiteral("YES") : QStringLiteral("NO");
    main_.hand_over().move_to_top_choice = Check1->isChecked() ? QStringLiteral("YES") : QStringLiteral("NO");
    accept();
}

void F_secpassin::Command1_Click() { reject(); }

void F_secpassin::reject() {
    main_.hand_over().unlock_answer = QStringLiteral("CANCEL");
    QDialog::reject();
}

bool F_secpassin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command2_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tz
