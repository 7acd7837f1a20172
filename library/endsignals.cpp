#include "library/endsignals.h"

#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace library {

namespace {

// A signal handler may do next to nothing; it writes a byte to this pipe
// and the event loop does the rest.
int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    (void)!::write(g_pipe[1], &byte, 1);
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

EndSignals::EndSignals(QWidget& window)
    : m_window(window)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("tovrimo: cannot watch for end signals");
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        m_window.close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

EndSignals::~EndSignals()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace library
