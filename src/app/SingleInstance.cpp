#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

CSingleInstance::CSingleInstance(const QString& settingsPath, QObject* parent) : QObject(parent) {
  const QString path = QFileInfo(settingsPath).absoluteFilePath();
  const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  m_strName = QStringLiteral("talvero-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
  connect(&m_server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      socket->disconnectFromServer();
      emit ComeForward();
    }
  });
}

bool CSingleInstance::AskRunningToComeForward(int waitMs) {
  QLocalSocket socket;
  socket.connectToServer(m_strName);
  if (!socket.waitForConnected(waitMs)) return false;
  socket.disconnectFromServer();
  return true;
}

bool CSingleInstance::Listen() {
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  if (m_server.listen(m_strName)) return true;
  // Left behind by a console that ended without closing it.
  QLocalServer::removeServer(m_strName);
  return m_server.listen(m_strName);
}
