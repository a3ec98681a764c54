#include "ui/platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
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
