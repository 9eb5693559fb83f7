#include "PageViewerClient.h"

#include "WebBrowserDlg.h"

#include <QCoreApplication>

CPageViewerClient::CPageViewerClient(QString program, QObject* parent) : QObject(parent), m_program(std::move(program)) {
  // The viewer's complaints belong in the console's log.
  m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(&m_process, &QProcess::readyReadStandardOutput, this, &CPageViewerClient::ReadReports);
  connect(&m_process, &QProcess::finished, this, &CPageViewerClient::ViewerEnded);
  connect(&m_process, &QProcess::errorOccurred, this, &CPageViewerClient::ViewerFailed);
}

CPageViewerClient::~CPageViewerClient() {
  // The pages go with the console; a viewer left on its own would keep them
  // for a session that is over.
  m_bStopping = true;
  if (m_process.state() == QProcess::NotRunning) return;
  m_process.closeWriteChannel();
  m_process.terminate();
  if (!m_process.waitForFinished(2000)) m_process.kill();
  m_process.waitForFinished(1000);
}

QString CPageViewerClient::DefaultProgram() {
  return QCoreApplication::applicationDirPath() + QStringLiteral("/talvero-pages");
}

void CPageViewerClient::OpenPage(const QUrl& address, bool smallWindow, bool quietly, const QRect& beside) {
  const int id = m_nextId++;
  const Page page{address, smallWindow, quietly, beside};
  m_pages.insert(id, page);
  if (m_process.state() == QProcess::NotRunning) {
    // Reads only what is written after this; the command waits in the pipe
    // until the viewer is up. It ends with this process, which it knows by
    // its pid.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TALVERO_CONSOLE_PID"), QString::number(QCoreApplication::applicationPid()));
    m_process.setProcessEnvironment(environment);
    m_process.start(m_program, {}, QIODevice::ReadWrite);
  }
  Send(id, page);
}

void CPageViewerClient::CloseAll() {
  if (m_process.state() == QProcess::NotRunning) return;
  for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) m_process.write("close " + QByteArray::number(it.key()) + '\n');
}

void CPageViewerClient::Send(int id, const Page& page) {
  QByteArray line = QByteArrayLiteral("open ") + QByteArray::number(id) + (page.smallWindow ? " 1" : " 0") +
                   (page.quietly ? " 1 " : " 0 ") + page.address.toEncoded();
  const QRect& r = page.beside;
  if (r.isValid()) line += QStringLiteral(" %1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toLatin1();
  m_process.write(line + '\n');
}

void CPageViewerClient::ReadReports() {
  while (m_process.canReadLine()) {
    const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
    if (words.size() != 2) continue;
    bool ok = false;
    const int id = words[1].toInt(&ok);
    if (!ok || !m_pages.contains(id)) continue;
    if (words[0] == "shown") {
      m_pages[id].shown = true;
    } else if (words[0] == "closed") {
      m_pages.remove(id);
    } else {
      continue;
    }
    emit PageReported(QString::fromLatin1(words[0]), id);
  }
}

void CPageViewerClient::ViewerEnded() {
  ReadReports();
  if (m_bStopping || m_pages.isEmpty()) return;
  if (m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0) {
    // It ended as it was idle, just as a page was being sent: the pages it
    // never showed go to a new viewer, once (a viewer that takes none of
    // them would otherwise be started again and again).
    bool retry = true;
    for (const Page& page : std::as_const(m_pages)) retry = retry && !page.shown && !page.resent;
    if (retry) {
      m_process.start(m_program, {}, QIODevice::ReadWrite);
      for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        it->resent = true;
        Send(it.key(), it.value());
      }
      return;
    }
  }
  ShowInstead(QStringLiteral("the page viewer ended unexpectedly (%1)")
                  .arg(m_process.exitStatus() == QProcess::CrashExit
                           ? QStringLiteral("it crashed")
                           : QStringLiteral("exit status %1").arg(m_process.exitCode())));
}

void CPageViewerClient::ViewerFailed(QProcess::ProcessError error) {
  if (error != QProcess::FailedToStart || m_bStopping) return;
  ShowInstead(QStringLiteral("the page viewer %1 could not be started (%2)").arg(m_program, m_process.errorString()));
}

void CPageViewerClient::ShowInstead(const QString& reason) {
  const QMap<int, Page> lost = std::exchange(m_pages, {});
  for (const Page& page : lost) CWebBrowserDlg::OpenNotice(page.address, page.smallWindow, page.quietly, reason, page.beside);
}
