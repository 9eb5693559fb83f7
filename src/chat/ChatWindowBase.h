#pragma once

#include "ServiceSound.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class CChatManager;
class CMySpellEditCtrl;
class FooButton;
class QCheckBox;
class QLabel;
struct ChatPollReply;

// What the visitor chat window and the operator chat window share: their
// requests and replies, one poll out at a time, the new lines of a poll
// shown once each, Enter to send and Escape to clear, the elapsed time, and
// closing by freeing themselves once the event loop runs. A line the
// service does not take goes back into the entry box. Each request hands
// its reply to its own handler. The windows decide no alert: they say
// what the service rang for and when a line wants the operator's eye.
class CChatWindowBase : public QDialog {
  Q_OBJECT

 public:
  virtual void AppendTranscriptLine(const QString& text) = 0;

  const QString& LastNumber() const { return m_strLastNum; }
  bool IsPolling() const { return m_pollTimer.isActive(); }
  bool IsPollOut() const { return m_bPollOut; }
  QLabel* ElapsedTime() const { return m_pElapsed; }
  // Polls at once, as after the machine slept or the network came back:
  // the answer to a poll still out (which may hang on a connection that is
  // gone) no longer counts, so it holds nothing back and shows nothing twice.
  void CatchUp();

  // The operator brought this chat forward (from the keyboard, the console):
  // it comes to the front, active, with the caret in its entry box rather
  // than on whichever button was clicked last.
  void BringForward();

 public slots:
  // Sends the entry box's text as one line and empties the box; a box with
  // nothing but blanks sends nothing.
  void SendChatLine();
  // Closes the window without telling the service; it frees itself after
  // the handler that closed it has returned.
  void CloseChatWindow();

 signals:
  // A reply named a sound of the service's (a new line, a waiting
  // message), where the window once played it.
  void SoundRung(ServiceSound sound);
  // A line of the other side arrived while the operator works elsewhere.
  void AttentionWanted();

 protected:
  using ReplyHandler = std::function<void(const QString& reply)>;

  explicit CChatWindowBase(CChatManager& engine);

  // Sends a request whose reply goes to onReply (none: the reply says
  // nothing the window needs). A window that is closing takes no more
  // replies; the engine drops every reply once the session is closing.
  void Request(const QString& url, int nType, ReplyHandler onReply);
  ReplyHandler UnlessClosing(ReplyHandler onReply);
  // Asks the service for the chat's new lines (the timer's work).
  virtual void PollMessages() = 0;
  // The request that sends a line of the operator's, and its type.
  virtual QString SendLineRequest(const QString& text) const = 0;
  virtual int SendLineType() const = 0;
  // A slow service gets no second poll before the first is answered: the
  // replies would overtake each other.
  void SendPoll(const QString& url, int nType, ReplyHandler onReply);
  // Appends each line of a reply with a new number once, and wants the
  // operator's attention for a line of the other side while he works
  // elsewhere. False when the reply brought no new number.
  bool AppendNewLines(const ChatPollReply& reply);
  // Enter in the box sends, Shift+Enter keeps a line break, Escape anywhere clears it.
  void WatchEntryBox(CMySpellEditCtrl* entry);
  // The Spell Check box switches the entry box's checking. When no
  // dictionary can be read the box goes unticked, and the window says why,
  // as it does when the operator's own copy had to be passed over.
  void WatchSpellBox(QCheckBox* box);
  // Tells the operator something in this window without taking the
  // keyboard: a notice in the transcript, which only this window shows.
  void TellOperator(const QString& text);
  CMySpellEditCtrl* Entry() const { return m_pEntryBox; }
  QString ElapsedText() const;
  static FooButton* PushButton(const QString& text, QWidget* parent);
  // The window's icon, frame and first size, and the two controls both
  // windows show in their top row: the elapsed time and the padlock.
  void SetUpWindow(const QSize& size);

  void accept() override;  // Enter never closes the window
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  CChatManager& m_engine;
  QTimer m_pollTimer;
  bool m_bClosing = false;
  QLabel* m_pElapsed = nullptr;
  QLabel* m_pPadlock = nullptr;

 private:
  void OnLineReply(const QString& line, const QString& reply);

  CMySpellEditCtrl* m_pEntryBox = nullptr;
  bool m_bToldNotSent = false;  // since the last line the service took
  QString m_strLastNum = QStringLiteral("1");
  bool m_bPollOut = false;
  quint64 m_nPoll = 0;  // the polls sent so far; only the last one's answer counts
  QElapsedTimer m_started;
};
