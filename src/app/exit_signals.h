#pragma once
// SIGTERM, SIGINT and SIGHUP end the program through its exit save, so no
// change is lost when the session or the user stops it.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace tz {

class ExitSignals : public QObject {
    Q_OBJECT
public:
    explicit ExitSignals(std::function<void()> on_signal, QObject* parent = nullptr);
    ~ExitSignals() override;

private:
    std::function<void()> on_signal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tz
