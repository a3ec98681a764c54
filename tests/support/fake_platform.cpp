#include "support/fake_platform.h"

#include <QPrinter>

namespace tz::test {

MsgAnswer FakePlatform::message(QWidget*, const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) {
    messages.push_back({text, title, icon, buttons});
    if (on_message) on_message();
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return MsgAnswer::Yes;
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

bool FakePlatform::print_dialog(QWidget*, QPrinter& printer, bool selection_marked) {
    print_dialogs.push_back(selection_marked);
    if (print_to_pdf.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(print_to_pdf);
    return true;
}

std::optional<QColor> FakePlatform::choose_colour(QWidget*, const QColor& current) {
    colour_starts.push_back(current);
    if (colours.empty()) return std::nullopt;
    const std::optional<QColor> c = colours.front();
    colours.pop_front();
    return c;
}

QStringList FakePlatform::texts() const {
    QStringList t;
    for (const Message& m : messages) t.append(m.text);
    return t;
}

void FakePlatform::end_program() { ++ends; }

}  // namespace tz::test
