#pragma once

#include "ServiceConfig.h"
#include "HttpTransport.h"
#include "ServiceServer.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

// A talvero-service running inside the test on a free loopback port, and
// plain requests to it through the console's own HTTP transport.
class CServiceFixture {
 public:
  explicit CServiceFixture(CServiceConfig config = CServiceConfig::Demo(), CServiceServer::Options options = {});
  ~CServiceFixture();

  bool IsRunning() const { return m_bRunning; }
  QString Host() const { return m_pServer->Host(); }
  CServiceServer& Server() { return *m_pServer; }

  // GET of a catalogue request under /cpn; "DISCONNNNECT" when it failed.
  QString Get(const QString& pathAndQuery) const;
  QStringList GetPieces(const QString& pathAndQuery, const QString& separator) const;
  // A control command, such as Control("visitor/add", {{"name", "Zoe"}}).
  QString Control(const QString& command, const QMap<QString, QString>& query = {}) const;
  int ControlStatus(const QString& command, const QMap<QString, QString>& query = {}) const;

  // Logs an operator of the demo site in and returns the raw reply.
  QString Login(const QString& loginId, const QString& password, const QString& site = QStringLiteral("1001")) const;

  static QString EncodeQuery(const QMap<QString, QString>& query);

 private:
  CHttpTransport::Result Fetch(const QString& target) const;

  std::unique_ptr<CServiceServer> m_pServer;
  bool m_bRunning = false;
  bool m_bSecure = false;
};
