#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class CPresence;
class QWidget;

// Going Offline while the operator is away: after the minutes the
// preferences name without keyboard or mouse on the desktop, the console
// goes Offline as the operator's own choice of Offline would, and says so;
// at the first input after that it asks whether to go Online again.
// Chats already taken go on as they are.
class CAwayWatch : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCheckMs = 5000;

  CAwayWatch(CPresence& presence, QWidget* console);

  bool IsAway() const { return m_bAway; }
  // One look at the desktop's idle time: the timer's work.
  void Check();

 signals:
  void WentAway(int minutes);
  // Back, Online again or not.
  void CameBack();

 private:
  void AskBack();

  CPresence& m_presence;
  QPointer<QWidget> m_pConsole;
  QTimer m_timer;
  bool m_bAway = false;
  bool m_bAsking = false;
};
