#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One console per user and settings file: a second console would log the
// same operator in twice and write the same settings. The first start
// listens on a local socket named after the settings file; a later start
// asks it to come forward and ends.
//
// The socket lies in a folder only its user can enter: $XDG_RUNTIME_DIR, or
// else talvero-<uid> in the temporary folder, made 0700. A folder of
// another owner or open to others is not used, since whoever can write
// there could take the name first and make every start end as "already
// running". Both ends check the other's user id on the connection itself,
// so a socket that another user holds is never obeyed nor answered. Where
// no safe socket can be had, the console starts without the check and
// Problem() says why.
class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit CSingleInstance(const QString& settingsPath, QObject* parent = nullptr);

  // True when a console of this user for these settings runs already; it
  // has been asked to come forward. A socket left behind by a console that
  // died is no console, and one held by another user is none either.
  bool AskRunningToComeForward(int waitMs = 2000);
  // Takes the socket for this start; false when it cannot (the start goes
  // on without it, and Problem() says why).
  bool Listen();
  // The full path of the socket, empty when no safe folder was found.
  const QString& ServerName() const { return m_strName; }
  // Why the check cannot be made or was not trusted; empty when all is well.
  const QString& Problem() const { return m_strProblem; }

  // The folder for the socket, created where it is missing; empty when
  // neither $XDG_RUNTIME_DIR nor the fallback is a folder of this user's own
  // that no one else may enter. problem: why a folder was passed over.
  static QString SocketFolder(QString* problem);

 signals:
  // A later start asked for this console.
  void ComeForward();

 private:
  QString m_strName;
  QString m_strProblem;
  QLocalServer m_server;
};
