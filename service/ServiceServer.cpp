#include "ServiceServer.h"

#include "ConsoleProtocol.h"
#include "ControlInterface.h"
#include "DemoSimulation.h"
#include "FaultInjector.h"
#include "OperatorChatProtocol.h"
#include "QueryText.h"
#include "ServicePages.h"
#include "ServiceState.h"
#include "VisitorChatProtocol.h"

#include <httplib.h>

#include <QElapsedTimer>

#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

// The library's server with a hand on the listening socket it keeps to itself.
template <class Base>
class CListeningServer : public Base, public CServiceServer::ListeningSocket {
 public:
  using Base::Base;
  // The library listens with a backlog of 5; a service that many consoles poll
  // at once needs more, or connections wait out SYN retries.
  void WidenBacklog() override { ::listen(this->svr_sock_, 1024); }
  // A blocked or coming accept() returns at once: stop() alone is lost when it
  // comes while the socket is being bound again.
  void Interrupt() override { ::shutdown(this->svr_sock_, SHUT_RDWR); }
};

}  // namespace

CServiceServer::CServiceServer(CServiceConfig config, Options options)
    : m_options(std::move(options)),
      m_pState(std::make_unique<CServiceState>(std::move(config))),
      m_pConsole(std::make_unique<CConsoleProtocol>(*m_pState)),
      m_pVisitors(std::make_unique<CVisitorChatProtocol>(*m_pState)),
      m_pOperators(std::make_unique<COperatorChatProtocol>(*m_pState)),
      m_pPages(std::make_unique<CServicePages>(*m_pState)),
      m_pFaults(std::make_unique<CFaultInjector>()),
      m_pControl(std::make_unique<CControlInterface>(*m_pState, *m_pFaults)) {
  AddRoutes();
}

CServiceServer::~CServiceServer() { Stop(); }

void CServiceServer::AddRoutes() {
  auto text = [](auto f) {
    return [f](const Query& q, const httplib::Request&) { return ServiceReply::Text(f(q)); };
  };
  CConsoleProtocol& c = *m_pConsole;
  CVisitorChatProtocol& v = *m_pVisitors;
  COperatorChatProtocol& o = *m_pOperators;
  CServicePages& pages = *m_pPages;
  m_scripts = {
      {"w-param.php", text([&c](const Query& q) { return c.Parameters(q); })},
      {"wn-login.php", text([&c](const Query& q) { return c.Login(q); })},
      {"wn-allonlineu.php", text([&c](const Query& q) { return c.Refresh(q); })},
      {"w-mrefresh.php", text([&c](const Query& q) { return c.Presence(q); })},
      {"w-adminout.php", text([&c](const Query& q) { return c.LogOut(q); })},
      {"wn-opout.php", text([&c](const Query& q) { return c.LogOutOther(q); })},
      {"w-admsg.php", text([&c](const Query& q) { return c.Messages(q); })},
      {"w-adc.php", text([&v](const Query& q) { return v.Accept(q); })},
      {"wn-action.php", text([&v](const Query& q) { return v.Action(q); })},
      {"w-prop.php", text([&v](const Query& q) { return v.ProactivePop(q); })},
      {"wn-lmudets.php", text([&v](const Query& q) { return v.Details(q); })},
      {"w-lmfprint.php", text([&v](const Query& q) { return v.FootPrints(q); })},
      {"wn-amespc.php", text([&v](const Query& q) { return v.CannedLists(q); })},
      {"w-amessub.php", text([&v](const Query& q) { return v.SendLine(q); })},
      {"wn-achats.php", text([&v](const Query& q) { return v.Poll(q); })},
      {"w-otype.php", text([&v](const Query& q) { return v.OperatorTyping(q); })},
      {"w-ctransf.php", text([&v](const Query& q) { return v.Transfer(q); })},
      {"wn-opacpt_chts.php", text([&o](const Query& q) { return o.OpenChat(q); })},
      {"wn-opclchat.php", text([&o](const Query& q) { return o.CloseChat(q); })},
      {"wn-op_messub.php", text([&o](const Query& q) { return o.SendLine(q); })},
      {"wn-opachats.php", text([&o](const Query& q) { return o.Poll(q); })},
      {"wn-op_type.php", text([&o](const Query& q) { return o.Typing(q); })},
      {"w-browser.php",
       [&v, &pages](const Query& q, const httplib::Request&) {
         // The name-and-e-mail request is a reply of the catalogue, not a page.
         if (q.value("opurl") == QStringLiteral("namemail")) return ServiceReply::Text(v.NameAndEmail(q));
         return pages.Browser(q);
       }},
      {"wn-fuploadweb.php",
       [&pages](const Query& q, const httplib::Request& req) {
         if (req.method != "POST") return pages.FileTransferForm(q);
         if (!req.has_file("file")) return pages.FileUpload(q, QString(), QByteArray(), QString());
         const httplib::MultipartFormData file = req.get_file_value("file");
         return pages.FileUpload(q, DecodeQueryValue(file.filename),
                                 QByteArray(file.content.data(), qsizetype(file.content.size())),
                                 QString::fromStdString(file.content_type));
       }},
  };
}

Query CServiceServer::DecodeQuery(const httplib::Request& req) {
  Query q;
  for (const auto& [name, value] : req.params) q.insert(DecodeQueryValue(name), DecodeQueryValue(value));
  // The fields of a multipart form count like query parameters.
  for (const auto& [name, part] : req.files)
    if (part.filename.empty()) q.insert(DecodeQueryValue(name), DecodeQueryValue(part.content));
  return q;
}

ServiceReply CServiceServer::Route(const QString& path, const Query& q, const httplib::Request& req,
                                   CFaultInjector::Fault& fault) {
  fault = CFaultInjector::Fault{};
  if (path.startsWith(QStringLiteral("/control/"))) {
    if (req.remote_addr != "127.0.0.1" && req.remote_addr != "::1")
      return ServiceReply{403, "The control interface answers only from this machine.\n"};
    return m_pControl->Handle(path.mid(9), q);
  }
  // Everything of the catalogue lives under the announced prefix, and
  // under "/cpn" whatever the prefix.
  QString script;
  for (const QString& prefix : {QStringLiteral("/") + m_pState->config.prefix + u'/', QStringLiteral("/cpn/")})
    if (path.startsWith(prefix)) {
      script = path.mid(prefix.size());
      break;
    }
  if (script.isEmpty()) script = path.mid(1);  // the site pages stand at the root
  if (script.startsWith(QStringLiteral("files/"))) return m_pPages->StoredFile(script.section(u'/', 1, 1));
  const auto it = m_scripts.find(script);
  if (it == m_scripts.end()) return m_pPages->SitePage(script);
  fault = m_pFaults->Take(script);
  // A request lost before it reached the service, or turned away by a
  // proxy in front of it, changes nothing.
  if (fault.kind == CFaultInjector::Kind::Lost || fault.kind == CFaultInjector::Kind::BadGateway) return ServiceReply{};
  return it->second(q, req);
}

void CServiceServer::Serve(const httplib::Request& req, httplib::Response& res) {
  const QString path = DecodeQueryValue(req.path);
  CFaultInjector::Fault fault;
  ServiceReply reply = Route(path, DecodeQuery(req), req, fault);
  switch (fault.kind) {
    case CFaultInjector::Kind::Delay:
      m_pFaults->Delay(fault.delayMs);
      break;
    case CFaultInjector::Kind::Lost:
    case CFaultInjector::Kind::Drop:
      // Headers promise a body that never comes: the connection just ends.
      res.status = 200;
      res.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink&) { return false; });
      return;
    case CFaultInjector::Kind::Garbage: reply = ServiceReply{200, CFaultInjector::GarbageBody(m_nGarbageSeed++)}; break;
    case CFaultInjector::Kind::Empty: reply = ServiceReply{200, QByteArray()}; break;
    case CFaultInjector::Kind::Truncated: reply.body = CFaultInjector::TruncatedBody(reply.body); break;
    case CFaultInjector::Kind::Huge: reply = ServiceReply{200, CFaultInjector::HugeBody()}; break;
    case CFaultInjector::Kind::BadGateway:
      // What a reverse proxy answers while the service behind it is down.
      reply = ServiceReply{502, QByteArrayLiteral("<html><body><h1>502 Bad Gateway</h1></body></html>")};
      reply.contentType = "text/html";
      break;
    case CFaultInjector::Kind::None: break;
  }
  res.status = reply.status;
  res.set_content(reply.body.constData(), size_t(reply.body.size()), reply.contentType.toStdString());
}

bool CServiceServer::Start(QString& error) {
  if (m_options.certFile.isEmpty()) {
    auto server = std::make_unique<CListeningServer<httplib::Server>>();
    m_pSocket = server.get();
    m_pServer = std::move(server);
  } else {
    auto server = std::make_unique<CListeningServer<httplib::SSLServer>>(m_options.certFile.toLocal8Bit().constData(),
                                                                         m_options.keyFile.toLocal8Bit().constData());
    m_pSocket = server.get();
    m_pServer = std::move(server);
  }
  if (!m_pServer->is_valid()) {
    error = QStringLiteral("cannot use the certificate %1 with the key %2").arg(m_options.certFile, m_options.keyFile);
    return false;
  }
  // Consoles open a connection per request and many poll at once.
  m_pServer->new_task_queue = [] { return new httplib::ThreadPool(48); };
  m_pServer->set_payload_max_length(size_t(CServicePages::kMaxUpload) + 64 * 1024);
  m_pServer->set_keep_alive_timeout(2);
  auto serve = [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); };
  m_pServer->Get(".*", serve);
  m_pServer->Post(".*", serve);
  m_pServer->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    res.status = 500;
    res.set_content("Internal error\n", "text/plain");
  });
  if (m_options.verbose)
    m_pServer->set_logger([](const httplib::Request& req, const httplib::Response& res) {
      std::fprintf(stderr, "%s %s %d %zu\n", req.method.c_str(), req.target.c_str(), res.status, res.body.size());
    });

  if (m_options.port == 0) {
    m_nPort = m_pServer->bind_to_any_port("127.0.0.1");
  } else {
    m_nPort = m_pServer->bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
  }
  if (m_nPort <= 0) {
    error = QStringLiteral("cannot listen on 127.0.0.1:%1").arg(m_options.port);
    m_nPort = 0;
    return false;
  }
  m_pSocket->WidenBacklog();
  const QString scheme = m_options.certFile.isEmpty() ? QStringLiteral("http://") : QStringLiteral("https://");
  const QString host = m_pState->config.host.isEmpty() ? Host() : m_pState->config.host;
  m_pConsole->SetAnnouncedHost(host);
  m_pPages->SetBaseAddress(scheme + host + u'/' + m_pState->config.prefix);
  if (m_options.demo) {
    m_pDemo = std::make_unique<CDemoSimulation>(*m_pState, m_options.seed);
    m_pDemo->Start();
  }
  m_thread = std::thread([this] { Listen(); });
  while (!m_pServer->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void CServiceServer::Listen() {
  for (;;) {
    m_pServer->listen_after_bind();
    // The library's accept loop also ends on its own when accept() fails
    // with anything but a full descriptor table (an aborted connection, no
    // buffers): a service that stopped there would end with nobody asking.
    const int failure = errno;
    std::unique_lock<std::mutex> guard(m_listenLock);
    if (m_bStopping) return;
    std::fprintf(stderr, "talvero-service: accepting connections failed (%s); listening again on 127.0.0.1:%d\n",
                 std::strerror(failure), m_nPort);
    while (!m_pServer->bind_to_port("127.0.0.1", m_nPort)) {
      std::fprintf(stderr, "talvero-service: cannot listen on 127.0.0.1:%d again; trying once a second\n", m_nPort);
      m_listenRetry.wait_for(guard, std::chrono::seconds(1));
      if (m_bStopping) return;
    }
    m_pSocket->WidenBacklog();
  }
}

void CServiceServer::RequestStop() {
  m_pFaults->Release();
  std::lock_guard<std::mutex> guard(m_listenLock);
  m_bStopping = true;
  m_listenRetry.notify_all();
  if (!m_pServer) return;
  m_pServer->stop();
  m_pSocket->Interrupt();
}

void CServiceServer::Stop() {
  if (m_pDemo) m_pDemo->Stop();
  RequestStop();
  Wait();
}

void CServiceServer::Wait() {
  if (m_thread.joinable()) m_thread.join();
}
