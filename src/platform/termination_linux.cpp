#include "platform/termination.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int signal)
{
    const unsigned char number = static_cast<unsigned char>(signal);
    // Only async-signal-safe calls here.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &number, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

void TerminationSignals::install()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int s : kSignals)
        ::signal(s, SIG_DFL);
    if (g_pipe[0] >= 0) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }
}

void TerminationSignals::readSignal()
{
    unsigned char number = 0;
    if (::read(g_pipe[1], &number, 1) != 1)
        return;
    if (m_caught != 0) {
        // Asked twice: the shutdown is taking too long for the user or the system.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    m_caught = number;
    emit shutdownRequested();
}

void TerminationSignals::endAs(int signal)
{
    if (signal == 0)
        return;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}
