#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

class CDesktopRig;

// talvero-service with a site of short periods and three canned responses,
// two of them about shipping, logging every request (--verbose), and its
// control interface.
class CServiceProcess {
 public:
  // Periods in seconds; "ben" is the demo's colleague with --demo.
  explicit CServiceProcess(CDesktopRig& rig, int consolePeriod = 1, int chatPeriod = 1);
  ~CServiceProcess();

  bool IsRunning() const { return m_nPort > 0 && m_pProcess && m_pProcess->state() == QProcess::Running; }
  QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_nPort); }

  // GET of any target; the body, or a null string when it failed.
  QString Get(const QString& target, int* status = nullptr) const;
  QString Control(const QString& command, const QMap<QString, QString>& query = {}) const;
  // A visitor who asks for a chat (one who chatted before, if asked);
  // returns his chat session id.
  QString VisitorAsksForChat(const QString& name, bool earlierChats = false);
  // The lines of a visitor's chat as the service keeps them ("demo: text").
  QStringList ChatLines(const QString& chatId) const;

  // The request targets logged so far (raw, as sent).
  QStringList Requests();
  int CountRequests(const QString& part);

 private:
  CDesktopRig& m_rig;
  QProcess* m_pProcess = nullptr;
  int m_nPort = 0;
  QStringList m_requests;
  QByteArray m_pending;
  int m_nVisitors = 0;
};
