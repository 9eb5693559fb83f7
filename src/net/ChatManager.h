#pragma once

#include "HttpTransport.h"
#include "Requests.h"
#include "Session.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class QObject;

// The request engine: every exchange with the chat service goes through the
// one object of this class. It knows where the server is and who is logged
// in, performs GET requests synchronously or on a worker thread of their own,
// and counts network failures so that the operator is told once when the
// server stays unreachable.
//
// An asynchronous reply is handed to the callable its request came with, on
// the user-interface thread while the worker waits. The callable carries
// what the request was for; its context object bounds its life: a context
// destroyed meanwhile gets nothing, and once the session is closing nothing
// is delivered at all. The engine knows no window kinds.
class CChatManager {
 public:
  // Opens a page address in a browser window; smallWindow asks for the
  // small fixed placement of the file-transfer page; quietly, for a page the
  // operator did not ask for, shows it without taking the keyboard.
  using PageOpener = std::function<void(const QUrl& address, bool smallWindow, bool quietly, const QRect& beside)>;
  // Receives the reply text (exactly "DISCONNNNECT" when the request failed);
  // the text is valid only during the call.
  using ReplyHandler = std::function<void(const QString& reply)>;
  // Tells the operator that the server stays unreachable (the sound of the
  // connection-failure event); runs on the user-interface thread just before
  // the engine's own warning, which is shown without waiting for it.
  using FailureAlert = std::function<void()>;
  // Runs on the worker thread with the reply text (the failure marker
  // included), before the hand-over: pure work on the text, such as cutting
  // a large reply into records, so that the user-interface thread does not
  // wait for it. It must not touch any window.
  using WorkerStep = std::function<void(const QString& reply)>;
  // Receives a page fetched with FetchPage: ok is false when the server did
  // not answer with status 200, and then the text is empty.
  using PageHandler = std::function<void(bool ok, const QString& text)>;

  CChatManager();
  virtual ~CChatManager();
  CChatManager(const CChatManager&) = delete;
  CChatManager& operator=(const CChatManager&) = delete;

  // The engine of the process: the one constructed last and still alive.
  static CChatManager& Instance();

  // Performs the GET on the calling thread. true: the server answered with
  // a 2xx status and reply holds its text (possibly empty); false: the
  // request failed, or got another status, and reply is exactly
  // "DISCONNNNECT".
  bool RequestSync(const QString& url, QString& reply);
  // The same, giving up after at most timeoutMs in all.
  bool RequestSync(const QString& url, QString& reply, int timeoutMs);
  // Starts the GET on a worker thread and returns at once.
  void RequestAsync(QString url, QObject* context, ReplyHandler onReply);
  // The same, with a step run on the worker on the reply before onReply.
  void RequestAsync(QString url, QObject* context, ReplyHandler onReply, WorkerStep onWorker);
  // GETs an address of the service's web site (not a catalogue request: no
  // prefix, and a failure is not counted as the server being away) on a
  // worker thread; the page reaches onPage on the user-interface thread
  // unless context is gone or the session is closing.
  void FetchPage(const QUrl& address, QObject* context, PageHandler onPage);

  static QString UrlEncode(const QString& text);
  // What stands in a reply for the middle of a body too long to keep.
  static QString CutNotice(qint64 bytes);
  // Shows a server page (prefix and url appended to the service's address)
  // in a new browser window, or in the small one of the file-transfer page.
  void OpenServerPage(const QString& url, bool smallWindow = false, bool quietly = false, const QRect& beside = QRect());
  // Receives the end of a parameters load: loaded is false when the
  // request failed (the operator has been told); newVersionText is the text
  // about a newer program, or empty.
  using ParametersHandler = std::function<void(bool loaded, const QString& newVersionText)>;
  // Loads the polling periods, host, prefix and newest version from the
  // server without waiting: the defaults (and the secure flag) are in force
  // at once, the request runs on a worker, and the parameters are taken, a
  // failure told and onDone called on the user-interface thread, unless
  // context is gone by then (nothing changes: a load started later has
  // reset the defaults for itself) or the session is closing.
  void LoadServerParameters(const QString& siteId, bool bSecure, QObject* context, ParametersHandler onDone);
  // The canned responses and push URLs for a chat window (reply type 20).
  void RequestCannedMessages(QObject* chatWindow, ReplyHandler onReply);

  // The one session of the process and the catalogue bound to it.
  CSession& Session() { return m_session; }
  const CSession& Session() const { return m_session; }
  Requests Catalogue() const { return Requests(m_session); }

  const QString& Host() const { return m_strHost; }
  const QString& Prefix() const { return m_strPrefix; }
  bool IsClosing() const { return m_bClosing.load(); }
  void SetClosing() { m_bClosing.store(true); }
  int Failures() const { return m_nFailures.load(); }
  // While the machine sleeps, failed requests are not counted; going to
  // sleep and waking up both start the count afresh.
  void SetSuspended(bool bSuspended);
  bool IsSuspended() const { return m_bSuspended.load(); }
  // Why the last failed request failed, in words for the operator.
  QString LastFailure() const;

  // The service host used before the server names its own (string 102,
  // or what --service or TALVERO_SERVICE says).
  void SetDefaultHost(const QString& host);
  const QString& DefaultHost() const { return m_strDefaultHost; }
  void SetTimeouts(int connectMs, int totalMs);
  void SetCaFile(const QString& path);
  void SetPageOpener(PageOpener opener);
  void SetFailureAlert(FailureAlert alert);

  // Worker threads still running (they end on their own, at the latest
  // when their time-out expires).
  int RunningRequests() const { return m_nWorkers.load(); }

 private:
  struct Endpoint {
    QString host;
    QString prefix;
    bool secure = false;
  };
  struct RequestJob {
    QString url;
    QPointer<QObject> context;
    ReplyHandler onReply;
    Endpoint endpoint;
    WorkerStep onWorker;
  };

  Endpoint CurrentEndpoint() const;
  // Takes the parameters from a reply.
  void TakeParameters(const QString& reply, QString& newVersionText);
  bool PerformGet(const Endpoint& endpoint, const QString& url, QString& reply, int timeoutMs = 0);
  void CountFailure();
  void CountSuccess();
  void SetLastFailure(const QString& why);
  void RunJob(const RequestJob& job);
  // Runs work on a thread of its own, counted among the running requests.
  void StartWorker(std::function<void()> work);
  void Deliver(const RequestJob& job, const QString& reply);
  // Runs f on the user-interface thread and waits for it to return.
  void RunOnUiThread(const std::function<void()>& f);
  // Runs f on the user-interface thread later, without waiting for it.
  void PostToUiThread(std::function<void()> f);
  void ShowMessage(const QString& text);

  QString m_strHost;
  QString m_strPrefix;
  CSession m_session;
  std::atomic<bool> m_bClosing{false};
  std::atomic<int> m_nFailures{0};
  std::atomic<bool> m_bSuspended{false};
  mutable std::mutex m_failureLock;
  QString m_strLastFailure;

  QString m_strDefaultHost;
  CHttpTransport::Options m_transportOptions;
  PageOpener m_pageOpener;
  FailureAlert m_failureAlert;
  std::atomic<bool> m_bAborting{false};
  QObject* m_pDispatcher = nullptr;  // lives on the user-interface thread
  std::atomic<int> m_nWorkers{0};
  std::mutex m_workersLock;
  std::condition_variable m_workersDone;
  CChatManager* m_pPrevious = nullptr;
};
