#pragma once
// The platform services the windows use: message boxes, the print dialog, the
// colour chooser, the shell's opener, the beep. Windows reach them only through
// this interface; the tests put in a recording fake. The busy pointer is the
// application's own, the same for every window.

#include <QColor>
#include <QString>
#include <QUrl>
#include <optional>

class QWidget;
class QPrinter;

namespace tz {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box. The text is kept as given; a CR shows as a line break.
    // Yes/No questions have Yes as the default; only No cancels.
    virtual MsgAnswer message(QWidget* parent, const QString& text, const QString& title,
                              MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok) = 0;

    // The print dialog without a page range, with the selection choice marked when
    // asked. True when the user chose to print to printer; false on cancel.
    virtual bool print_dialog(QWidget* parent, QPrinter& printer, bool selection_marked) = 0;

    // The colour chooser starting at current: the confirmed colour, or nothing on cancel.
    virtual std::optional<QColor> choose_colour(QWidget* parent, const QColor& current) = 0;

    // Hands an address or a file to the system's opener; the result is not used.
    virtual void open_url(const QUrl& url) = 0;

    virtual void beep() = 0;

    // Ends the program's event loops, the modal windows' ones included: the
    // last step of the exit save.
    virtual void end_program() = 0;
};

// The real services, on Qt's dialogs and QDesktopServices.
class QtPlatform : public Platform {
public:
    MsgAnswer message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    bool print_dialog(QWidget* parent, QPrinter& printer, bool selection_marked) override;
    std::optional<QColor> choose_colour(QWidget* parent, const QColor& current) override;
    void open_url(const QUrl& url) override;
    void beep() override;
    void end_program() override;
};

// The busy pointer over the program's windows for as long as it lives, or until end().
class BusyPointer {
public:
    explicit BusyPointer(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyPointer() { end(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void end();

private:
    bool on_ = true;
};

}  // namespace tz
