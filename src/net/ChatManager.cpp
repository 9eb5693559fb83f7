#include "ChatManager.h"

#include "DesktopServices.h"
#include "NumberText.h"
#include "ResourceIds.h"
#include "Separators.h"
#include "SplitReply.h"
#include "StringTable.h"
#include "UrlEncode.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <thread>

namespace {

std::atomic<CChatManager*> g_pEngine{nullptr};
std::atomic<bool> s_bFailureBoxShown{false};

const QString kInternetCaption = QStringLiteral("Internet Connection");
const QString kFailureWarningKey = QStringLiteral("no-response");

// After this many failures in a row the operator is told; the count then
// restarts far below zero so that the next warning needs 213 more.
constexpr int kFailuresBeforeWarning = 12;
constexpr int kFailureRestart = -200;

bool IsSuccessStatus(int status) { return status >= 200 && status <= 299; }

// Control characters other than the tab and the line ends are dropped: a
// NUL or an escape in one chat line or one visitor's name must neither cut
// nor garble the rest of the reply. In UTF-8 they are single bytes that are
// never part of another character.
QString TextWithoutControls(QByteArray bytes) {
  const auto isControl = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F;
  };
  bytes.erase(std::remove_if(bytes.begin(), bytes.end(), isControl), bytes.end());
  return QString::fromUtf8(bytes);
}

}  // namespace

QString CChatManager::CutNotice(qint64 bytes) {
  return QStringLiteral(" [... %1 bytes too many, not shown ...] ").arg(bytes);
}

CChatManager::CChatManager()
    : m_strHost(CStringTable::Load(IDS_SERVICE_HOST)),
      m_strPrefix(CStringTable::Load(IDS_DEFAULT_PREFIX)),
      m_strDefaultHost(m_strHost),
      m_pDispatcher(new QObject) {
  m_transportOptions.caFile = qEnvironmentVariable("TALVERO_CA_FILE");
  m_transportOptions.abort = &m_bAborting;
  m_pPrevious = g_pEngine.exchange(this);
}

CChatManager::~CChatManager() {
  // Nothing is delivered any more; transfers still running give up, and
  // workers waiting for the user-interface thread are let go here.
  m_bClosing = true;
  m_bAborting = true;
  while (m_nWorkers.load() > 0) {
    QCoreApplication::sendPostedEvents(m_pDispatcher, QEvent::MetaCall);
    std::unique_lock<std::mutex> guard(m_workersLock);
    m_workersDone.wait_for(guard, std::chrono::milliseconds(10), [this] { return m_nWorkers.load() == 0; });
  }
  // The last worker may still be leaving the lock it counted down under.
  { std::lock_guard<std::mutex> guard(m_workersLock); }
  delete m_pDispatcher;
  CChatManager* self = this;
  g_pEngine.compare_exchange_strong(self, m_pPrevious);
}

CChatManager& CChatManager::Instance() {
  CChatManager* engine = g_pEngine.load();
  Q_ASSERT_X(engine != nullptr, "CChatManager::Instance", "no request engine");
  return *engine;
}

QString CChatManager::UrlEncode(const QString& text) { return ::UrlEncode(text); }

void CChatManager::SetDefaultHost(const QString& host) {
  m_strDefaultHost = host;
  m_strHost = host;
}

void CChatManager::SetTimeouts(int connectMs, int totalMs) {
  m_transportOptions.connectTimeoutMs = connectMs;
  m_transportOptions.totalTimeoutMs = totalMs;
}

void CChatManager::SetCaFile(const QString& path) { m_transportOptions.caFile = path; }

void CChatManager::SetPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }

void CChatManager::SetFailureAlert(FailureAlert alert) { m_failureAlert = std::move(alert); }

CChatManager::Endpoint CChatManager::CurrentEndpoint() const {
  return Endpoint{m_strHost, m_strPrefix, m_session.secure};
}

bool CChatManager::PerformGet(const Endpoint& endpoint, const QString& url, QString& reply, int timeoutMs) {
  reply.clear();
  CHttpTransport::Options options = m_transportOptions;
  if (timeoutMs > 0) {
    options.totalTimeoutMs = std::min(options.totalTimeoutMs, timeoutMs);
    options.connectTimeoutMs = std::min(options.connectTimeoutMs, timeoutMs);
  }
  const CHttpTransport::Result result =
      CHttpTransport::Get(endpoint.host, endpoint.secure, endpoint.prefix + url, options);
  // An error page (a proxy's 502, a 404) is no answer of the service.
  if (!result.ok || !IsSuccessStatus(result.status)) {
    SetLastFailure(result.ok ? QStringLiteral("the server answered with HTTP status %1").arg(result.status)
                             : result.error);
    CountFailure();
    reply = kDisconnect;
    return false;
  }
  // Invalid UTF-8 becomes replacement characters rather than failing the
  // reply. A body too long to keep loses its middle, not its end, so that
  // the blocks after one huge line (a chat's newest line number) still
  // arrive and the reader moves past it.
  reply = TextWithoutControls(result.body);
  if (result.cut) reply += CutNotice(result.skipped) + TextWithoutControls(result.tail);
  CountSuccess();
  return true;
}

void CChatManager::SetLastFailure(const QString& why) {
  std::lock_guard<std::mutex> guard(m_failureLock);
  m_strLastFailure = why;
}

QString CChatManager::LastFailure() const {
  std::lock_guard<std::mutex> guard(m_failureLock);
  return m_strLastFailure;
}

void CChatManager::CountFailure() {
  // A machine asleep has no network: what fails meanwhile says nothing
  // about the service.
  if (m_bSuspended) return;
  int count = m_nFailures.fetch_add(1) + 1;
  if (count <= kFailuresBeforeWarning) return;
  if (!m_nFailures.compare_exchange_strong(count, kFailureRestart)) return;  // another failure took it
  bool expected = false;
  if (!s_bFailureBoxShown.compare_exchange_strong(expected, true)) return;  // a box is on screen
  // Handed over without waiting: the request that failed ends now, and the
  // refresh and the chats' polls go on while the box is open.
  PostToUiThread([this] {
    if (m_bClosing) {
      s_bFailureBoxShown = false;
      return;
    }
    if (m_failureAlert) m_failureAlert();
    CDesktopServices::Get().ShowWarning(kFailureWarningKey,
                                        QStringLiteral("No Response from Server. Please check your internet connection."),
                                        kInternetCaption, CDesktopServices::Icon::Error,
                                        [] { s_bFailureBoxShown = false; });
  });
}

void CChatManager::CountSuccess() {
  m_nFailures = 0;
  // The service answers again: the warning about it goes by itself.
  if (s_bFailureBoxShown.load())
    PostToUiThread([] { CDesktopServices::Get().CloseWarning(kFailureWarningKey); });
}

void CChatManager::SetSuspended(bool bSuspended) {
  m_bSuspended = bSuspended;
  // Whatever failed around the sleep is forgotten: the count starts afresh.
  m_nFailures = 0;
}

void CChatManager::ShowMessage(const QString& text) {
  CDesktopServices::Get().MessageBox(nullptr, text, kInternetCaption, CDesktopServices::Icon::Error);
}

bool CChatManager::RequestSync(const QString& url, QString& reply) { return PerformGet(CurrentEndpoint(), url, reply); }

bool CChatManager::RequestSync(const QString& url, QString& reply, int timeoutMs) {
  return PerformGet(CurrentEndpoint(), url, reply, timeoutMs);
}

void CChatManager::RequestAsync(QString url, QObject* context, ReplyHandler onReply) {
  RequestAsync(std::move(url), context, std::move(onReply), nullptr);
}

void CChatManager::RequestAsync(QString url, QObject* context, ReplyHandler onReply, WorkerStep onWorker) {
  if (m_bAborting) return;
  RequestJob job{std::move(url), QPointer<QObject>(context), std::move(onReply), CurrentEndpoint(),
                 std::move(onWorker)};
  StartWorker([this, job = std::move(job)] { RunJob(job); });
}

void CChatManager::StartWorker(std::function<void()> work) {
  m_nWorkers.fetch_add(1);
  std::thread([this, work = std::move(work)] {
    work();
    std::lock_guard<std::mutex> guard(m_workersLock);
    m_nWorkers.fetch_sub(1);
    m_workersDone.notify_all();
  }).detach();
}

void CChatManager::RunJob(const RequestJob& job) {
  QString reply;
  PerformGet(job.endpoint, job.url, reply);
  // Nothing will be delivered: the worker's step would be work for nothing.
  if (job.onWorker && !m_bClosing && !job.context.isNull()) job.onWorker(reply);
  Deliver(job, reply);
}

void CChatManager::FetchPage(const QUrl& address, QObject* context, PageHandler onPage) {
  if (m_bAborting || !address.isValid() || address.host().isEmpty()) return;
  const bool secure = address.scheme() == QStringLiteral("https");
  const int port = address.port(secure ? 443 : 80);
  QString host = address.host(QUrl::FullyEncoded);
  if (host.contains(u':')) host = u'[' + host + u']';  // an IPv6 address
  host += u':' + QString::number(port);
  const QString target = address.path(QUrl::FullyEncoded).isEmpty()
                             ? QStringLiteral("/")
                             : QString::fromLatin1(address.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority |
                                                                     QUrl::RemoveFragment));
  CHttpTransport::Options options = m_transportOptions;
  // A page of the web site, not a reply: a few hundred kilobytes at most.
  options.capacity = 512 * 1024;
  options.tailCapacity = 0;
  QPointer<QObject> guard(context);
  StartWorker([this, host, secure, target, options, guard, onPage = std::move(onPage)] {
    const CHttpTransport::Result result = CHttpTransport::Get(host, secure, target, options);
    const bool ok = result.ok && result.status == 200;
    const QString text = ok ? QString::fromUtf8(result.body) : QString();
    if (m_bClosing) return;
    RunOnUiThread([&] {
      if (m_bClosing || guard.isNull() || !onPage) return;
      onPage(ok, text);
    });
  });
}

void CChatManager::Deliver(const RequestJob& job, const QString& reply) {
  if (m_bClosing) return;
  RunOnUiThread([&] {
    if (m_bClosing || job.context.isNull() || !job.onReply) return;
    job.onReply(reply);
  });
}

void CChatManager::RunOnUiThread(const std::function<void()>& f) {
  if (QThread::currentThread() == m_pDispatcher->thread()) {
    f();
    return;
  }
  QMetaObject::invokeMethod(m_pDispatcher, f, Qt::BlockingQueuedConnection);
}

void CChatManager::PostToUiThread(std::function<void()> f) {
  QMetaObject::invokeMethod(m_pDispatcher, std::move(f), Qt::QueuedConnection);
}

void CChatManager::OpenServerPage(const QString& url, bool smallWindow, bool quietly, const QRect& beside) {
  const QString address =
      (m_session.secure ? QStringLiteral("https://") : QStringLiteral("http://")) + m_strHost + m_strPrefix + url;
  if (m_pageOpener) m_pageOpener(QUrl::fromEncoded(CHttpTransport::EscapeTarget(address.toUtf8())), smallWindow, quietly, beside);
}

void CChatManager::LoadServerParameters(const QString& siteId, bool bSecure, QObject* context,
                                        ParametersHandler onDone) {
  m_session.secure = bSecure;
  m_strHost = m_strDefaultHost;
  m_strPrefix = CStringTable::Load(IDS_DEFAULT_PREFIX);
  m_session.consolePeriodMs = m_session.chatPeriodMs = m_session.operChatPeriodMs = CSession::kDefaultPeriodMs;
  RequestAsync(Requests::Parameters(siteId), context,
               [this, onDone = std::move(onDone)](const QString& reply) {
                 QString newVersionText;
                 // The marker is exactly what a failed request leaves.
                 const bool bLoaded = reply != kDisconnect;
                 if (bLoaded)
                   TakeParameters(reply, newVersionText);
                 else
                   ShowMessage(QStringLiteral("Please check your internet connection."));
                 if (onDone) onDone(bLoaded, newVersionText);
               });
}

void CChatManager::TakeParameters(const QString& reply, QString& newVersionText) {
  const QStringList fields = SplitReply(reply, kSepField);
  if (fields.size() != 6) return;
  // A period that reads as zero or less would poll without pause; it
  // keeps the default instead.
  const long console = ReadLeadingInt(fields[0]);
  const long chat = ReadLeadingInt(fields[1]);
  if (console > 0) m_session.consolePeriodMs = int(std::min<long>(console, 86400) * 1000);
  if (chat > 0) m_session.chatPeriodMs = m_session.operChatPeriodMs = int(std::min<long>(chat, 86400) * 1000);
  // An empty host or prefix would send every later request nowhere: the
  // address the program was started with stays.
  if (!fields[2].trimmed().isEmpty()) m_strHost = fields[2];
  if (!fields[3].trimmed().isEmpty()) m_strPrefix = QStringLiteral("/") + fields[3];
  // The newest version the service knows is a number, read as this one is.
  static const double kOwnVersion = ReadLeadingDouble(QStringLiteral(TALVERO_VERSION));
  if (ReadLeadingDouble(fields[5]) > kOwnVersion) newVersionText = fields[4];
}

void CChatManager::RequestCannedMessages(QObject* chatWindow, ReplyHandler onReply) {
  RequestAsync(Catalogue().CannedMessages(), chatWindow, std::move(onReply));
}
