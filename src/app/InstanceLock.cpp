#include "InstanceLock.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr int kWaitMs = 2000;
const QByteArray kRaise = "raise\n";

} // namespace

const char* const CInstanceLock::kName = "_Quave_Lorin_00000000000000";

CInstanceLock::CInstanceLock(QObject* parent) : QObject(parent) {
    connect(&m_server, &QLocalServer::newConnection, this, &CInstanceLock::OnConnection);
}

QString CInstanceLock::ServerName() {
#ifdef Q_OS_WIN
    return QString::fromLatin1(kName); // a pipe name, already per session
#else
    // The user's own runtime folder, so other users' copies neither block nor answer this one.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime.isEmpty() ? QDir::tempPath() : runtime)
        .filePath(QString::fromLatin1(kName));
#endif
}

bool CInstanceLock::Acquire() {
    if (IsHeld()) {
        return true;
    }
    const QString name = ServerName();
    // Two copies started at the same moment take turns here, so only one of them answers.
    // Should the turn not come in time, the start goes on without it: it is never blocked.
    QLockFile turn(name + QStringLiteral(".lock"));
    turn.tryLock(kWaitMs);

    QLocalSocket running;
    running.connectToServer(name);
    if (running.waitForConnected(kWaitMs)) {
        running.write(kRaise);
        running.waitForBytesWritten(kWaitMs);
        running.disconnectFromServer();
        return false;
    }
    QLocalServer::removeServer(name); // left by a copy that crashed
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(name);
    return true;
}

void CInstanceLock::Release() {
    m_server.close();
}

void CInstanceLock::OnConnection() {
    while (QLocalSocket* other = m_server.nextPendingConnection()) {
        connect(other, &QLocalSocket::disconnected, other, &QObject::deleteLater);
        connect(other, &QLocalSocket::readyRead, this, [this, other] {
            if (other->canReadLine() && other->readLine() == kRaise) {
                emit RaiseRequested();
            }
        });
    }
}
