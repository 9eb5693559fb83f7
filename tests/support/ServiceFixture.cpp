#include "ServiceFixture.h"

#include "Separators.h"
#include "SplitReply.h"
#include "UrlEncode.h"

#include <QUrl>

CServiceFixture::CServiceFixture(CServiceConfig config, CServiceServer::Options options) {
  options.port = 0;
  m_bSecure = !options.certFile.isEmpty();
  m_pServer = std::make_unique<CServiceServer>(std::move(config), options);
  QString error;
  m_bRunning = m_pServer->Start(error);
  if (!m_bRunning) qWarning("talvero-service did not start: %s", qPrintable(error));
}

CServiceFixture::~CServiceFixture() { m_pServer->Stop(); }

CHttpTransport::Result CServiceFixture::Fetch(const QString& target) const {
  CHttpTransport::Options options;
  options.connectTimeoutMs = 5000;
  options.totalTimeoutMs = 20000;
  options.caFile = qEnvironmentVariable("TALVERO_CA_FILE");
  return CHttpTransport::Get(Host(), m_bSecure, target, options);
}

QString CServiceFixture::Get(const QString& pathAndQuery) const {
  const CHttpTransport::Result r = Fetch(pathAndQuery);
  return r.ok ? QString::fromUtf8(r.body) : kDisconnect;
}

QStringList CServiceFixture::GetPieces(const QString& pathAndQuery, const QString& separator) const {
  return SplitReply(Get(pathAndQuery), separator);
}

QString CServiceFixture::EncodeQuery(const QMap<QString, QString>& query) {
  QStringList parts;
  for (auto it = query.begin(); it != query.end(); ++it)
    parts.append(it.key() + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(it.value())));
  return parts.join(u'&');
}

QString CServiceFixture::Control(const QString& command, const QMap<QString, QString>& query) const {
  return Get(QStringLiteral("/control/") + command + u'?' + EncodeQuery(query)).trimmed();
}

int CServiceFixture::ControlStatus(const QString& command, const QMap<QString, QString>& query) const {
  const CHttpTransport::Result r = Fetch(QStringLiteral("/control/") + command + u'?' + EncodeQuery(query));
  return r.ok ? r.status : -1;
}

QString CServiceFixture::Login(const QString& loginId, const QString& password, const QString& site) const {
  return Get(QStringLiteral("/cpn/wn-login.php?loginid=%1&stid=%2&pwd=%3")
                 .arg(UrlEncode(loginId), site, UrlEncode(password)));
}
