#pragma once

#include <QObject>

class CChatManager;

// The operator's own presence at the service. The console announces
// "online" when it opens, after every refresh and at every chat window's
// tick, unless the operator chose Offline; only the operator's choice
// changes that. What the service confirms ("online" or "offline") is the
// presence that gates the chat request alerts.
class CPresence : public QObject {
  Q_OBJECT

 public:
  explicit CPresence(CChatManager& engine, QObject* parent = nullptr);

  // Tells the service the operator is online, unless he chose Offline.
  // Against a slow service one announcement out at a time is enough: more
  // would pile up a request thread each.
  void Announce();
  // The same at once, even with an announcement out: after a sleep or a
  // network change that one may hang on a connection that is gone.
  void AnnounceNow();
  // The operator's choice: the Online and Offline buttons.
  void ChooseOnline();
  void ChooseOffline();

  bool IsOnline() const { return m_bOnline; }
  bool IsManualOffline() const { return m_bManualOffline; }

  // A status reply; any other text than "online" or "offline" changes nothing.
  void OnStatusReply(const QString& reply);

 signals:
  // The service confirmed a presence while the operator has not chosen
  // Offline: the buttons show it.
  void Confirmed(bool bOnline);
  // The presence the service confirmed changed, whatever the operator chose.
  void Changed(bool bOnline);

 private:
  void Send(bool bOnline);

  CChatManager& m_engine;
  bool m_bOnline = false;
  bool m_bManualOffline = false;
  bool m_bAnnouncementOut = false;
  quint64 m_nAnnouncement = 0;  // the announcements sent so far
  quint64 m_nChoice = 0;  // the operator's choices so far
};
