#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

class CPopUpDlg;
class QWidget;
struct RefreshReply;

// The console's alert policy in one place: which sound an event plays, when
// the console comes forward, when a chat request gets a corner notice and
// a desktop notification, and when the tray icon blinks. The windows only
// report events; a notice's click comes back as a signal carrying the chat
// session id it was made for.
class CAlerts : public QObject {
  Q_OBJECT

 public:
  explicit CAlerts(QWidget* console);
  ~CAlerts() override;

  // The sound name of a refresh reply. A chat request ("sound1") and the
  // busy sound ("sound2") sound only while the operator is online; a new
  // chat request also brings the console forward, without the keyboard.
  void HandleSoundName(const QString& name, bool bOnline);
  // New visitors came with a refresh.
  void NewVisitorsSeen();
  // A chat request arrived while the console shows the operators.
  void ChatRequestInOperatorsView();
  // The chat requests of a refresh while the console is hidden: a notice
  // for each request not noticed last, and the tray blinking while any waits.
  void ChatRequestsSeen(const RefreshReply& reply, bool bOnline);
  // Closes every notice (log-out) and stops the blinking.
  void CloseNotices();

  bool IsConsoleVisible() const;
  // Of the last well-formed refresh: a visitor's or an operator's chat
  // request that was not waiting at the one before. The console changes its
  // view, or comes forward, once per new request, so that the operator's
  // own choice of view stands while a request waits.
  bool HasNewVisitorRequest() const { return m_bNewVisitorRequest; }
  bool HasNewOperatorRequest() const { return m_bNewOperatorRequest; }
  // Shows and raises the console without taking the keyboard; flashes it.
  void BringConsoleForward();
  QList<CPopUpDlg*> OpenNotices() const;
  bool IsTrayBlinking() const { return m_blink.isActive(); }
  bool IsRepeatingRequestSound() const { return m_repeat.isActive(); }
  static constexpr int kRepeatMs = 30000;

 signals:
  // A chat request came while the console was hidden: the visitors are
  // to be shown when it comes forward.
  void ChatRequestWhileHidden();
  // The operator took a request from a notice.
  void AcceptVisitorChat(const QString& chatId);
  void AcceptOperatorChat(const QString& chatId);

 private:
  // Remembers the requests waiting now; one not waiting at the last refresh
  // makes the next chat request ring bring the console forward.
  void NoteWaitingRequests(const RefreshReply& reply);
  void Notice(const QString& text, const QString& chatId, bool bOperator);
  void BlinkTray();

  QPointer<QWidget> m_pConsole;
  QString m_strLastNoticeId;  // a request is not noticed twice in a row
  QList<QPointer<CPopUpDlg>> m_notices;
  QTimer m_blink;
  QTimer m_repeat;  // the chat request sound again, while the operator wants it
  bool m_bRequestIconShown = false;
  QSet<QString> m_waitingRequests;  // chat session ids
  bool m_bNewRequest = false;
  bool m_bNewVisitorRequest = false;
  bool m_bNewOperatorRequest = false;
};
