// 【ツヅリオ】: the memo book. Its data lives in the folder of the program.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "main_window/main_form.h"
#include "store/data_folder.h"
#include "store/memo_store.h"
#include "ui/accessible_names.h"
#include "ui/fonts.h"
#include "ui/platform.h"
#include "ui/qt_texts.h"

#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>
#include <future>

int main(int argc, char** argv) {
    // The memo index, the one data file that grows with the memos, is read and
    // its list made on a second thread while the window is built. Where the
    // program's folder cannot be known this early, or is not the one it runs
    // from after all, the start-up reads the index itself.
    const QString early_folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    std::future<tz::ReadAhead> ahead;
    if (!early_folder.isEmpty())
        ahead = std::async(std::launch::async, [path = early_folder + QLatin1Char('/') + tz::file_names::index()] {
            return tz::read_ahead(path);
        });

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tzurio"));
    QApplication::setQuitOnLastWindowClosed(false);
    tz::fonts::install_substitutes();
    tz::install_accessible_names();
    tz::install_japanese_qt_texts(&app);
    tz::QtPlatform qt_platform;
    tz::Platform& platform = qt_platform;

    const QString folder = QCoreApplication::applicationDirPath();
    // A stop signal ends the program through the exit save once the window
    // runs; before that (a start that ends with a message) it ends the start.
    tz::Main_form* running = nullptr;
    tz::ExitSignals exit_signals([&running] {
        if (running && !running->ended())
            running->request_end();
        else
            QCoreApplication::exit(1);
    });
    tz::SingleInstance instance(folder);
    if (!tz::take_folder(instance, platform)) return 1;

    tz::Main_form form(platform, folder);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager&) { form.request_end(); });
    running = &form;
    form.start(std::move(ahead));
    form.show_as_stored();
    // A start that found the data folder unusable said so and wrote nothing.
    if (form.ended()) return 1;
    return app.exec();
}
