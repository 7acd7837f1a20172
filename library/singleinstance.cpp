#include "library/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

#include <cstdlib>
#include <cstdio>

namespace library {

namespace {

// How long a later start keeps trying to reach the copy that holds the lock.
constexpr int kReachTimeoutMs = 3000;

QString RuntimeDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

// The same name for every path that leads to the same directory.
QString InstanceName(const std::string& dataDirectory)
{
    std::string path = dataDirectory;
    if (char* real = ::realpath(dataDirectory.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(path.data(), static_cast<qsizetype>(path.size())),
                                 QCryptographicHash::Sha256);
    return QStringLiteral("tovrimo-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(digest.toHex().left(24)));
}

// Asks the copy listening at socketPath to come to the front.
void AskToComeToFront(const QString& socketPath)
{
    const QDeadlineTimer deadline(kReachTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            socket.write("front\n");
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
            socket.disconnectFromServer();
            return;
        }
        // The copy that holds the lock may not listen yet.
        QThread::msleep(20);
    }
    std::fprintf(stderr, "tovrimo: cannot reach the running copy at %s\n",
                 qPrintable(socketPath));
}

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath, const QString& socketPath)
    : m_lock(lockPath)
    , m_socketPath(socketPath)
{
    // Held for the whole run: only a holder that is gone makes it stale,
    // never its age.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit activationRequested();
        }
    });
}

SingleInstance::~SingleInstance()
{
    m_server.close();
    m_lock.unlock();
}

std::unique_ptr<SingleInstance> SingleInstance::Claim(const std::string& dataDirectory)
{
    const QString base = RuntimeDirectory() + QLatin1Char('/') + InstanceName(dataDirectory);
    std::unique_ptr<SingleInstance> instance(
        new SingleInstance(base + QStringLiteral(".lock"), base + QStringLiteral(".socket")));

    if (!instance->m_lock.tryLock(0)) {
        if (instance->m_lock.error() == QLockFile::LockFailedError) {
            AskToComeToFront(instance->m_socketPath);
            return nullptr;
        }
        // Without a lock the copy runs unguarded rather than not at all.
        std::fprintf(stderr, "tovrimo: cannot lock %s: %s\n", qPrintable(base + ".lock"),
                     instance->m_lock.error() == QLockFile::PermissionError ? "permission denied"
                                                                              : "unknown error");
        return instance;
    }
    // A socket file that a crashed copy left would refuse the listen.
    QLocalServer::removeServer(instance->m_socketPath);
    instance->m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!instance->m_server.listen(instance->m_socketPath)) {
        std::fprintf(stderr, "tovrimo: cannot listen at %s: %s\n",
                     qPrintable(instance->m_socketPath),
                     qPrintable(instance->m_server.errorString()));
    }
    return instance;
}

}  // namespace library
