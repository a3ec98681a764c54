#include "app/exit_signals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tz {
namespace {

int g_pipe[2] = {-1, -1};

void on_posix_signal(int) {
    // Only async-signal-safe work here: wake the event loop.
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(g_pipe[0], &b, 1);
}

}  // namespace

ExitSignals::ExitSignals(std::function<void()> on_signal, QObject* parent) : QObject(parent), on_signal_(std::move(on_signal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        notifier_->setEnabled(false);
        char b;
        [[maybe_unused]] ssize_t n = ::read(g_pipe[1], &b, 1);
        on_signal_();
    });
    struct sigaction sa {};
    sa.sa_handler = on_posix_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

ExitSignals::~ExitSignals() {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, SIG_DFL);
}

}  // namespace tz
