#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testing_support {

// Runs an X tool (xdotool, xclip, ...) on a display and gives what it
// printed, trimmed. exitCode, when given, receives its exit code (-1 when it
// did not finish in time).
QString RunOnDisplay(const QString& display, const QString& tool, const QStringList& arguments,
                     int* exitCode = nullptr, const QByteArray& input = {});

// An X server of the test's own (Xvfb, no window manager, so a window's
// outer frame is its client area). Xvfb picks a free display itself.
class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":N", or empty when the server did not start.
    const QString& Display() const { return m_display; }

    // Runs an X tool on this display (RunOnDisplay).
    QString Run(const QString& tool, const QStringList& arguments, int* exitCode = nullptr,
                const QByteArray& input = {}) const
    {
        return RunOnDisplay(m_display, tool, arguments, exitCode, input);
    }

private:
    QProcess m_server;
    QString m_display;
};

}  // namespace testing_support
