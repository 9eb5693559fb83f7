#pragma once

#include "ConsoleSession.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class CChatWindows;
class CPopUpDlg;
class QWidget;

// The console's alert policy in one place: which sound an event plays, when
// the console comes forward or changes its view for a request, when a chat
// request gets a corner notice and a desktop notification (one each per
// request, kept until the request is taken here or elsewhere or refused),
// what the tray shows (presence, the requests waiting, blinking) and when a
// window flashes. The session and the windows only report
// events; a notice's click comes back as a signal carrying the chat session
// id it was made for.
class CAlerts : public QObject {
  Q_OBJECT

 public:
  // Listens to the session.
  CAlerts(CConsoleSession& session, QWidget* console);
  ~CAlerts() override;

  // The chat windows of a kind report their events as they open.
  void Watch(CChatWindows& windows);
  // The one route from a sound the service rang for (in a refresh, a
  // chat's poll, the messages) or an event the session saw (visitors
  // arrived, a transfer offered) to the operator's sound. Within one
  // refresh each sound rings once, whichever way it came.
  void Ring(ServiceSound sound);
  // A line from the other side of a chat while its window is not in use.
  void ChatWindowWantsAttention(QWidget* window);
  // A request of the service failed (the connection failure sound).
  static void RequestFailed();

  bool IsConsoleVisible() const;
  // Shows and raises the console without taking the keyboard; flashes it.
  void BringConsoleForward();
  QList<CPopUpDlg*> OpenNotices() const;
  bool IsRepeatingRequestSound() const { return m_repeat.isActive(); }
  static constexpr int kRepeatMs = 30000;

 signals:
  // The operator took a request from a notice.
  void AcceptVisitorChat(const QString& chatId);
  void AcceptOperatorChat(const QString& chatId);

 private:
  void OnRefreshed(const RefreshReply& reply);
  void FollowWaitingRequests(const RefreshReply& reply);
  void NoticeRequestsWhileHidden(const RefreshReply& reply);
  // Withdraws the notices of requests no longer waiting.
  void WithdrawNotices();
  void Withdraw(const QString& chatId);
  void UpdateTray();
  // Another operator asks for a chat: his view, once per new request.
  void OperatorRequestAlerts(const RefreshReply& reply);
  void Notice(const QString& chatId, const QString& who, const QString& page, bool bOperator);
  void CloseNotices();
  void BlinkTray();
  bool IsOnline() const;

  CConsoleSession& m_session;
  QPointer<QWidget> m_pConsole;
  struct Noticed {
    QPointer<CPopUpDlg> notice;
    QString text;  // of the notification, replaced when it changes
  };
  QHash<QString, Noticed> m_noticed;  // by chat id
  // Requests taken from a notice that the service still lists as waiting
  // until the accept is through: not noticed again.
  QSet<QString> m_taken;
  QTimer m_blink;
  QTimer m_repeat;  // the chat request sound again, while the operator wants it
  bool m_bRequestIconShown = false;
  // Of the refresh being applied: a visitor's or an operator's chat request
  // that was not waiting at the one before. The console changes its view,
  // or comes forward, once per new request, so that the operator's own
  // choice of view stands while a request waits.
  bool m_bNewVisitorRequest = false;
  bool m_bNewOperatorRequest = false;
  bool m_bNewRequest = false;  // until the next chat request ring
  // While a refresh is applied: the sounds it has rung, one bit each.
  bool m_bInRefresh = false;
  unsigned m_rungInRefresh = 0;
};
