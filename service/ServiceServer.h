#pragma once

#include "FaultInjector.h"

#include "ServiceConfig.h"
#include "ServiceReply.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
}

class CServiceState;
class CConsoleProtocol;
class CVisitorChatProtocol;
class COperatorChatProtocol;
class CServicePages;
class CControlInterface;
class CFaultInjector;
class CDemoSimulation;

// The stand-in chat service: answers the console's whole request catalogue
// under the announced prefix and under "/cpn", serves the server pages, and
// offers the control interface, all on 127.0.0.1.
class CServiceServer {
 public:
  struct Options {
    int port = 8470;  // 0: any free port
    QString certFile;  // with keyFile: HTTPS
    QString keyFile;
    bool verbose = false;
    bool demo = false;
    unsigned seed = 1;
  };

  CServiceServer(CServiceConfig config, Options options);
  ~CServiceServer();

  // Binds the port and starts answering on a thread of its own.
  bool Start(QString& error);
  // Asks the server to stop; safe from any thread.
  void RequestStop();
  // Blocks until the server has stopped.
  void Wait();
  void Stop();

  int Port() const { return m_nPort; }
  QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_nPort); }
  CServiceState& State() { return *m_pState; }

  // The parameters of a request as the handlers read them: query fields and
  // the plain fields of a multipart form, percent-decoded by the server,
  // then turned into text.
  static Query DecodeQuery(const httplib::Request& req);

  // What the server does with its listening socket beyond the library.
  class ListeningSocket {
   public:
    virtual ~ListeningSocket() = default;
    virtual void WidenBacklog() = 0;
    virtual void Interrupt() = 0;
  };

 private:
  using Handler = std::function<ServiceReply(const Query&, const httplib::Request&)>;

  void AddRoutes();
  // Accepts connections until asked to stop, binding the port again when
  // the library's accept loop gives up by itself.
  void Listen();
  void Serve(const httplib::Request& req, httplib::Response& res);
  // fault is the one armed for the catalogue script asked for (none for
  // anything else); a request lost on its way is not run.
  ServiceReply Route(const QString& path, const Query& q, const httplib::Request& req, CFaultInjector::Fault& fault);

  Options m_options;
  std::unique_ptr<CServiceState> m_pState;
  std::unique_ptr<CConsoleProtocol> m_pConsole;
  std::unique_ptr<CVisitorChatProtocol> m_pVisitors;
  std::unique_ptr<COperatorChatProtocol> m_pOperators;
  std::unique_ptr<CServicePages> m_pPages;
  std::unique_ptr<CFaultInjector> m_pFaults;
  std::unique_ptr<CControlInterface> m_pControl;
  std::unique_ptr<CDemoSimulation> m_pDemo;
  std::unique_ptr<httplib::Server> m_pServer;
  ListeningSocket* m_pSocket = nullptr;  // m_pServer itself
  std::mutex m_listenLock;
  std::condition_variable m_listenRetry;
  bool m_bStopping = false;
  std::map<QString, Handler> m_scripts;  // by script name, such as "w-param.php"
  std::thread m_thread;
  int m_nPort = 0;
  unsigned m_nGarbageSeed = 1;
};
