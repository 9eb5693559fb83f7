#include "ServiceProcess.h"

#include "DesktopRig.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>

CServiceProcess::CServiceProcess(CDesktopRig& rig, int consolePeriod, int chatPeriod) : m_rig(rig) {
  const QString config = QStringLiteral("%1/service-%2.conf").arg(rig.Folder()).arg(quintptr(this));
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(QStringLiteral("[site 1001]\n"
                           "address = http://www.example-shop.com\n"
                           "console_period = %1\n"
                           "chat_period = %2\n"
                           "operator = demo | demo | admin\n"
                           "operator = anna | anna | agent\n"
                           "operator = ben | ben | agent\n"
                           "canned = Greetings | Hello | Hello, how can I help you?\n"
                           "canned = Shipping | Delivery time | Orders placed before 2 pm are shipped the same day.\n"
                           "canned = Shipping | Costs | Shipping is free from 50 euros, below that it costs 4.90 euros.\n")
                 .arg(consolePeriod)
                 .arg(chatPeriod)
                 .toUtf8());
  file.close();
  QProcessEnvironment env = rig.Environment();
  m_pProcess = rig.StartChild(CDesktopRig::ProgramDir() + QStringLiteral("/talvero-service"),
                              {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--config"), config,
                               QStringLiteral("--verbose")},
                              QString(), env);
  if (m_pProcess == nullptr) return;
  // The first line names the port it took.
  if (!m_pProcess->waitForReadyRead(20000)) return;
  m_nPort = m_pProcess->readLine().trimmed().toInt();
}

CServiceProcess::~CServiceProcess() { CDesktopRig::StopChild(m_pProcess); }

QString CServiceProcess::Get(const QString& target, int* status) const {
  QNetworkAccessManager network;
  QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QStringLiteral("http://") + Host() + target)));
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(15000, &loop, &QEventLoop::quit);
  loop.exec();
  if (status) *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QString body = reply->isFinished() && reply->error() == QNetworkReply::NoError ? QString::fromUtf8(reply->readAll()) : QString();
  reply->abort();
  reply->deleteLater();
  return body;
}

QString CServiceProcess::Control(const QString& command, const QMap<QString, QString>& query) const {
  QUrlQuery encoded;
  for (auto it = query.begin(); it != query.end(); ++it)
    encoded.addQueryItem(it.key(), QString::fromLatin1(QUrl::toPercentEncoding(it.value())));
  return Get(QStringLiteral("/control/") + command + u'?' + encoded.query(QUrl::FullyEncoded)).trimmed();
}

QString CServiceProcess::VisitorAsksForChat(const QString& name, bool earlierChats) {
  // Each visitor of its own address, so that rows and notices tell them apart.
  ++m_nVisitors;
  const QString id = Control(QStringLiteral("visitor/add"),
                             {{QStringLiteral("name"), name},
                              {QStringLiteral("ip"), QStringLiteral("10.9.8.%1").arg(m_nVisitors)},
                              {QStringLiteral("earlier"), earlierChats ? QStringLiteral("Y") : QStringLiteral("N")}});
  Control(QStringLiteral("visitor/chat"), {{QStringLiteral("csesid"), id}});
  return id;
}

QStringList CServiceProcess::ChatLines(const QString& chatId) const {
  QStringList lines;
  for (const QString& line : Control(QStringLiteral("visitor/show"), {{QStringLiteral("csesid"), chatId}}).split(u'\n'))
    if (line.startsWith(QLatin1String("line "))) lines.append(line.section(u'=', 1, -1));
  return lines;
}

QStringList CServiceProcess::Requests() {
  if (m_pProcess) {
    m_pending += m_pProcess->readAllStandardError();
    const int end = m_pending.lastIndexOf('\n');
    if (end >= 0) {
      for (const QByteArray& line : m_pending.left(end).split('\n'))
        if (line.startsWith("GET ")) m_requests.append(QString::fromUtf8(line.split(' ').value(1)));
      m_pending.remove(0, end + 1);
    }
  }
  return m_requests;
}

int CServiceProcess::CountRequests(const QString& part) {
  int n = 0;
  for (const QString& target : Requests()) n += target.contains(part) ? 1 : 0;
  return n;
}
