#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The console's alert policy in one place: which sound an event plays and
// when the console comes forward. The windows only report events.
class CAlerts : public QObject {
  Q_OBJECT

 public:
  explicit CAlerts(QWidget* console);

  // The sound name of a refresh reply. A chat request ("sound1") and the
  // busy sound ("sound2") sound only while the operator is online; a chat
  // request also brings the console forward.
  void HandleSoundName(const QString& name, bool bOnline);
  // A visitor line of a refresh; a visitor new on the site rings.
  void VisitorSeen(const QString& duration);
  // A chat request arrived while the console shows the operators.
  void ChatRequestInOperatorsView();

  bool IsConsoleVisible() const;
  // A visitor on the site for less than 9 seconds: its duration H:MM:SS
  // read without the colons as a number, so 0:00:08 is 8.
  static bool IsNewVisitor(const QString& duration);

 signals:
  // A chat request came while the console was hidden: the visitors are
  // to be shown when it comes forward.
  void ChatRequestWhileHidden();

 private:
  void BringConsoleForward();

  QPointer<QWidget> m_pConsole;
};
