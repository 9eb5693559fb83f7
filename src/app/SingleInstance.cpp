#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStringList>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The user id of the process at the other end of a connected local socket;
// -1 when it cannot be told.
long long PeerUid(qintptr descriptor) {
  struct ucred credentials {};
  socklen_t size = sizeof credentials;
  if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return -1;
  return credentials.uid;
}

bool IsOwn(qintptr descriptor) { return PeerUid(descriptor) == ::getuid(); }

// Why a folder is not one of this user's own that nobody else may enter;
// empty when it is.
QString FolderProblem(const QString& folder) {
  struct stat st {};
  if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
    return QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
  if (!S_ISDIR(st.st_mode)) return QStringLiteral("%1 is not a folder").arg(folder);
  if (st.st_uid != ::getuid()) return QStringLiteral("%1 belongs to user %2").arg(folder).arg(st.st_uid);
  if ((st.st_mode & 077) != 0)
    return QStringLiteral("%1 is open to others (mode %2)").arg(folder).arg(st.st_mode & 07777, 4, 8, QChar(u'0'));
  return QString();
}

}  // namespace

QString CSingleInstance::SocketFolder(QString* problem) {
  QStringList why;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
    const QString runtimeWhy = FolderProblem(runtime);
    if (runtimeWhy.isEmpty()) return runtime;
    why.append(QStringLiteral("not using XDG_RUNTIME_DIR: ") + runtimeWhy);
  }
  // No runtime folder of the session: one of our own in the temporary folder.
  const QString own = QDir::tempPath() + QStringLiteral("/talvero-%1").arg(::getuid());
  ::mkdir(QFile::encodeName(own).constData(), 0700);
  const QString ownWhy = FolderProblem(own);
  if (!ownWhy.isEmpty()) why.append(QStringLiteral("no safe folder for the socket: ") + ownWhy);
  if (problem) *problem = why.join(QStringLiteral("; "));
  return ownWhy.isEmpty() ? own : QString();
}

CSingleInstance::CSingleInstance(const QString& settingsPath, QObject* parent) : QObject(parent) {
  const QString path = QFileInfo(settingsPath).absoluteFilePath();
  const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  const QString folder = SocketFolder(&m_strProblem);
  if (!folder.isEmpty()) m_strName = folder + QStringLiteral("/talvero-%1.socket").arg(QString::fromLatin1(hash));
  connect(&m_server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      // Only a start of our own user may call the console forward.
      const bool bOwn = IsOwn(socket->socketDescriptor());
      socket->disconnectFromServer();
      if (bOwn) emit ComeForward();
    }
  });
}

bool CSingleInstance::AskRunningToComeForward(int waitMs) {
  if (m_strName.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(m_strName);
  if (!socket.waitForConnected(waitMs)) return false;
  const long long peer = PeerUid(socket.socketDescriptor());
  socket.disconnectFromServer();
  if (peer == ::getuid()) return true;
  m_strProblem = QStringLiteral("%1 is held by user %2, not by a console of ours").arg(m_strName).arg(peer);
  return false;
}

bool CSingleInstance::Listen() {
  if (m_strName.isEmpty()) return false;
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  if (m_server.listen(m_strName)) return true;
  // Left behind by a console that ended without closing it, or put there
  // by another user: in a folder of our own, ours to replace.
  QLocalServer::removeServer(m_strName);
  if (m_server.listen(m_strName)) return true;
  if (m_strProblem.isEmpty())
    m_strProblem = QStringLiteral("cannot listen on %1: %2").arg(m_strName, m_server.errorString());
  return false;
}
