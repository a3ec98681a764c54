#pragma once
// A Platform that records what the user would have seen and answers from a queue the test fills.

#include "ui/platform.h"

#include <QPrinter>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace tz::test {

struct Message {
    QString text, title;
    MsgIcon icon;
    MsgButtons buttons;
};

class FakePlatform : public Platform {
public:
    MsgAnswer message(QWidget*, const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override {
        messages.push_back({text, title, icon, buttons});
        if (on_message) on_message();
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return MsgAnswer::Yes;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool print_dialog(QWidget*, QPrinter& printer, bool selection_marked) override {
        print_dialogs.push_back(selection_marked);
        if (print_to_pdf.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(print_to_pdf);
        return true;
    }
    std::optional<QColor> choose_colour(QWidget*, const QColor& current) override {
        colour_starts.push_back(current);
        if (colours.empty()) return std::nullopt;
        const std::optional<QColor> c = colours.front();
        colours.pop_front();
        return c;
    }
    void open_url(const QUrl& url) override { opened.push_back(url); }
    void beep() override { ++beeps; }
    // Counted; the test's own event loops go on.
    void end_program() override { ++ends; }

    std::vector<Message> messages;
    std::deque<MsgAnswer> answers;          // for Yes/No questions; Yes when empty
    std::function<void()> on_message;       // runs while a message is "open"

    // Print dialog: the file the PDF goes to, empty to cancel.
    QString print_to_pdf;
    std::vector<bool> print_dialogs;        // selection_marked of each dialog shown

    std::deque<std::optional<QColor>> colours;  // answers of the colour chooser
    std::vector<QColor> colour_starts;

    std::vector<QUrl> opened;
    int beeps = 0;
    int ends = 0;

    QStringList texts() const {
        QStringList t;
        for (const Message& m : messages) t.append(m.text);
        return t;
    }
};

}  // namespace tz::test
