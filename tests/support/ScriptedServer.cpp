#include "ScriptedServer.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <chrono>

CScriptedServer::CScriptedServer(Script script, const QString& certFile, const QString& keyFile)
    : m_script(std::move(script)) {
  if (certFile.isEmpty())
    m_pServer = std::make_unique<httplib::Server>();
  else
    m_pServer = std::make_unique<httplib::SSLServer>(certFile.toLocal8Bit().constData(),
                                                     keyFile.toLocal8Bit().constData());
  m_pServer->new_task_queue = [] { return new httplib::ThreadPool(16); };
  // One request per connection: a browser keeping its connection open would
  // otherwise hold up the server's stop.
  m_pServer->set_keep_alive_max_count(1);
  m_pServer->Get(R"(.*)", [this](const httplib::Request& req, httplib::Response& res) {
    Script script;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_targets.append(QString::fromStdString(req.target));
      QMap<QString, QString> query;
      for (const auto& [name, value] : req.params)
        query.insert(QString::fromStdString(name), QString::fromStdString(value));
      m_queries.append(query);
      script = m_script;
    }
    const Reply reply = script ? script(req) : Reply{};
    if (reply.hang || reply.delayMs > 0) {
      std::unique_lock<std::mutex> guard(m_lock);
      const auto until = reply.hang ? std::chrono::hours(1) : std::chrono::milliseconds(reply.delayMs);
      m_released.wait_for(guard, until, [this] { return m_bStopping; });
    }
    res.status = reply.status;
    res.set_content(reply.body, "text/html; charset=utf-8");
  });
  m_nPort = m_pServer->bind_to_any_port("127.0.0.1");
  if (m_nPort <= 0) {
    m_nPort = 0;
    return;
  }
  m_thread = std::thread([this] { m_pServer->listen_after_bind(); });
  while (!m_pServer->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

CScriptedServer::~CScriptedServer() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_bStopping = true;
  }
  m_released.notify_all();
  if (m_thread.joinable()) {
    m_pServer->stop();
    m_thread.join();
  }
}

void CScriptedServer::SetScript(Script script) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_script = std::move(script);
}

void CScriptedServer::SetBody(const std::string& body) {
  SetScript([body](const httplib::Request&) { return Reply{200, body}; });
}

QStringList CScriptedServer::Targets() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_targets;
}

QList<QMap<QString, QString>> CScriptedServer::Queries() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_queries;
}

int CScriptedServer::RequestCount() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return int(m_targets.size());
}

namespace {

bool RunOpenssl(const QString& folder, const QStringList& args) {
  QProcess p;
  p.setWorkingDirectory(folder);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QStringLiteral("openssl"), args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) {
    qWarning("openssl %s failed: %s", qPrintable(args.join(u' ')), p.readAll().constData());
    return false;
  }
  return true;
}

bool MakeCa(const QString& folder, const QString& name, const QString& subject) {
  return RunOpenssl(folder, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                             "-keyout", name + ".key", "-out", name + ".pem", "-days", "3", "-subj", subject});
}

}  // namespace

TestCertificates TestCertificates::Create(const QString& folder) {
  TestCertificates c;
  QDir().mkpath(folder);
  QFile ext(folder + "/server.ext");
  if (!ext.open(QIODevice::WriteOnly)) return c;
  ext.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n");
  ext.close();
  const bool ok = MakeCa(folder, "ca", "/CN=Talvero Test CA") && MakeCa(folder, "other", "/CN=Someone Else") &&
                  RunOpenssl(folder, {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                      "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"}) &&
                  RunOpenssl(folder, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                                      "-CAcreateserial", "-out", "server.pem", "-days", "3", "-extfile", "server.ext"});
  if (!ok) return c;
  c.caFile = folder + "/ca.pem";
  c.otherCaFile = folder + "/other.pem";
  c.certFile = folder + "/server.pem";
  c.keyFile = folder + "/server.key";
  return c;
}
