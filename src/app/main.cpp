// 【ツヅリオ】: the memo book. Its data lives in the folder of the program.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "main_window/main_form.h"
#include "store/memo_store.h"
#include "ui/fonts.h"
#include "ui/platform.h"
#include "ui/qt_texts.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tzurio"));
    QApplication::setQuitOnLastWindowClosed(false);
    tz::fonts::install_substitutes();
    tz::install_japanese_qt_texts(&app);
    tz::QtPlatform qt_platform;
    tz::Platform& platform = qt_platform;

    const QString folder = QCoreApplication::applicationDirPath();
    tz::SingleInstance instance(folder);
    if (!instance.acquire()) {
        platform.message(nullptr, tz::already_running_text(), QStringLiteral("ツヅリオ"));
        return 0;
    }

    tz::Main_form form(platform, folder);
    tz::ExitSignals exit_signals([&form] { form.save_all_and_end(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager&) { form.save_all_and_end(); });
    form.start();
    form.show_as_stored();
    if (form.ended()) return 0;
    return app.exec();
}
