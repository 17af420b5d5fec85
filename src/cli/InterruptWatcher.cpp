#include "cli/InterruptWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; the event loop reads the other end.
int interruptPipe[2] = {-1, -1};

void OnInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(interruptPipe[0], &byte, 1);
}

} // namespace

InterruptWatcher::InterruptWatcher(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, interruptPipe) != 0)
        return;
    notifier = new QSocketNotifier(interruptPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(interruptPipe[1], &byte, 1);
        Q_EMIT Interrupted();
    });
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

InterruptWatcher::~InterruptWatcher()
{
    if (!notifier)
        return;
    signal(SIGINT, SIG_DFL);
    delete notifier;
    ::close(interruptPipe[0]);
    ::close(interruptPipe[1]);
    interruptPipe[0] = interruptPipe[1] = -1;
}
