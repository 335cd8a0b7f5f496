#include "cli/InterruptHook.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A system handler can reach no object of ours but through a process-wide slot: the one hook
// that is installed.
#ifdef Q_OS_WIN
QPointer<InterruptHook> *installedHook = nullptr;

BOOL WINAPI consoleHandler(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    if (installedHook && *installedHook)
        QMetaObject::invokeMethod(installedHook->data(), "deliver", Qt::QueuedConnection);
    return TRUE;
}
#else
volatile std::sig_atomic_t writeEnd = -1;

extern "C" void sigintHandler(int)
{
    const int fd = writeEnd;
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
}
#endif

}

InterruptHook::InterruptHook(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_WIN
    static QPointer<InterruptHook> hook;
    hook = this;
    installedHook = &hook;
    m_installed = SetConsoleCtrlHandler(consoleHandler, TRUE) != 0;
#else
    if (writeEnd >= 0 || ::pipe(m_pipe) != 0)
        return;
    for (int fd : m_pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        ssize_t received = 0;
        while ((received = ::read(m_pipe[0], buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < received; ++i)
                deliver();
        }
    });
    writeEnd = m_pipe[1];
    struct sigaction action {};
    action.sa_handler = sigintHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = ::sigaction(SIGINT, &action, nullptr) == 0;
#endif
}

InterruptHook::~InterruptHook()
{
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(consoleHandler, FALSE);
    installedHook = nullptr;
#else
    if (m_pipe[1] < 0)
        return;
    std::signal(SIGINT, SIG_DFL);
    writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
#endif
}

void InterruptHook::deliver()
{
    ++m_count;
    emit interrupted(m_count);
}
