#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
}

// A small HTTP (or HTTPS) server on a free loopback port whose answers a
// test scripts. It records the raw request target and the decoded query of
// every request.
class CScriptedServer {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    int delayMs = 0;
    bool hang = false;  // never answers (until the server stops)
  };
  using Script = std::function<Reply(const httplib::Request&)>;

  // With a certificate and key the server speaks TLS.
  explicit CScriptedServer(Script script = {}, const QString& certFile = QString(),
                           const QString& keyFile = QString());
  ~CScriptedServer();

  int Port() const { return m_nPort; }
  QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_nPort); }
  bool IsRunning() const { return m_nPort > 0; }

  void SetScript(Script script);
  void SetBody(const std::string& body);  // every request gets this body

  QStringList Targets() const;
  QList<QMap<QString, QString>> Queries() const;
  int RequestCount() const;

 private:
  mutable std::mutex m_lock;
  std::condition_variable m_released;
  bool m_bStopping = false;
  Script m_script;
  QStringList m_targets;
  QList<QMap<QString, QString>> m_queries;
  std::unique_ptr<httplib::Server> m_pServer;
  std::thread m_thread;
  int m_nPort = 0;
};

// A throw-away certificate authority and a server certificate it signed for
// 127.0.0.1, made with openssl in a folder of the caller's.
struct TestCertificates {
  QString caFile;
  QString certFile;
  QString keyFile;
  QString otherCaFile;  // a second CA that signed nothing of ours

  static TestCertificates Create(const QString& folder);
  bool IsValid() const { return !caFile.isEmpty(); }
};
