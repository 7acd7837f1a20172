#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>
#include <string>

namespace library {

// One running copy per data directory: two copies on the same files would
// each overwrite what the other wrote. The copy that holds the directory's
// lock listens on a local socket; a later start on the same directory asks
// it through that socket to come to the front, and ends.
//
// The lock and the socket lie in the user's runtime directory (else the
// temporary directory), named after the data directory's real path. A lock
// left by a copy that crashed names a process that is gone, and is taken
// over.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // This process's claim on the data directory, or null when a live copy
    // holds it; that copy has then been asked to come to the front. When the
    // lock cannot be made at all, the claim is granted unguarded.
    static std::unique_ptr<SingleInstance> Claim(const std::string& dataDirectory);

    ~SingleInstance() override;

signals:
    // A later start on the same data directory asked this copy to come to
    // the front.
    void activationRequested();

private:
    SingleInstance(const QString& lockPath, const QString& socketPath);

    QLockFile m_lock;
    QLocalServer m_server;
    QString m_socketPath;
};

}  // namespace library
