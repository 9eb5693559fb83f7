#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One console per user and settings file: a second console would log the
// same operator in twice and write the same settings. The first start
// listens on a local socket named after the settings file (only its user
// may connect); a later start asks it to come forward and ends.
class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit CSingleInstance(const QString& settingsPath, QObject* parent = nullptr);

  // True when a console for these settings runs already; it has been asked
  // to come forward. A socket left behind by a console that died is no
  // console.
  bool AskRunningToComeForward(int waitMs = 2000);
  // Takes the socket for this start; false when it cannot (the start goes
  // on without it).
  bool Listen();
  const QString& ServerName() const { return m_strName; }

 signals:
  // A later start asked for this console.
  void ComeForward();

 private:
  QString m_strName;
  QLocalServer m_server;
};
