#include "support/xserver.h"

#include <QProcessEnvironment>

namespace testing_support {

namespace {

constexpr int kTimeoutMs = 15000;

}  // namespace

XServer::XServer()
{
    // -displayfd 1: the server takes the first free display and prints its
    // number once it accepts connections.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!m_server.waitForStarted(kTimeoutMs))
        return;
    QByteArray printed;
    while (!printed.contains('\n') && m_server.waitForReadyRead(kTimeoutMs))
        printed += m_server.readAllStandardOutput();
    bool ok = false;
    const int number = printed.trimmed().toInt(&ok);
    if (ok)
        m_display = QStringLiteral(":%1").arg(number);
}

XServer::~XServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(kTimeoutMs))
            m_server.kill();
        m_server.waitForFinished();
    }
}

QString RunOnDisplay(const QString& display, const QString& tool, const QStringList& arguments, int* exitCode,
                     const QByteArray& input)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    if (!input.isEmpty()) {
        // Without an event loop, only a wait moves the bytes into the pipe.
        process.waitForStarted(kTimeoutMs);
        process.write(input);
        process.waitForBytesWritten(kTimeoutMs);
    }
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(kTimeoutMs);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

}  // namespace testing_support
