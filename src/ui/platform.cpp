#include "ui/platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace tz {

MsgAnswer QtPlatform::message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    // The box is at least as wide as its whole title, with room for the
    // window manager's icon and buttons beside it.
    QFont caption = box.font();
    caption.setBold(true);
    const QFontMetrics fm(caption);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(fm.horizontalAdvance(title) + 8 * fm.height(), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

bool QtPlatform::print_dialog(QWidget* parent, QPrinter& printer, bool selection_marked) {
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (selection_marked) options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    // The viewer's selection alone decides what prints: no page range is
    // offered, not even as a choice shown disabled.
    if (QWidget* range = dialog.findChild<QWidget*>(QStringLiteral("gbPrintRange"))) {
        for (const char* name : {"printRange", "from", "label_3", "to", "pagesRadioButton", "pagesLineEdit"})
            if (QWidget* w = range->findChild<QWidget*>(QLatin1String(name))) w->hide();
    }
    if (selection_marked) printer.setPrintRange(QPrinter::Selection);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QColor> QtPlatform::choose_colour(QWidget* parent, const QColor& current) {
    QColorDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedColor();
}

void QtPlatform::open_url(const QUrl& url) { QDesktopServices::openUrl(url); }

void QtPlatform::beep() { QApplication::beep(); }

}  // namespace tz

namespace tz {

void QtPlatform::end_program() { QCoreApplication::exit(0); }

BusyPointer::BusyPointer(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }

void BusyPointer::end() {
    if (on_) QGuiApplication::restoreOverrideCursor();
    on_ = false;
}

}  // namespace tz
