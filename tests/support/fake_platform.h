#pragma once
// A Platform that records what the user would have seen and answers from a
// queue the test fills.

#include "ui/platform.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace tz::test {

struct Message {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

class FakePlatform : public Platform {
public:
    MsgAnswer message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    bool print_dialog(QWidget* parent, QPrinter& printer, bool selection_marked) override;
    std::optional<QColor> choose_colour(QWidget* parent, const QColor& current) override;
    void open_url(const QUrl& url) override { opened.push_back(url); }
    void beep() override { ++beeps; }
    // Counted; the test's own event loops go on.
    void end_program() override;

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

    QStringList texts() const;
};

}  // namespace tz::test
