#pragma once

#include "ChatSession.h"

#include <QDialog>
#include <QPointer>

class CChatRichEd;
class CMySpellEditCtrl;
class FooButton;
class QCheckBox;
class QLabel;

// What the visitor chat window and the operator chat window share: each
// shows one chat's session. It draws the session's lines (those it already
// holds, then each new one once), hands the entry box's lines to it and
// takes back one the service refused, shows the elapsed time, and closes by
// freeing itself once the event loop runs. Enter sends, Escape clears. The
// window makes no request and decides no alert: it says when a line wants
// the operator's eye.
class CChatWindowBase : public QDialog {
  Q_OBJECT

 public:
  // The chat this window shows; null once the chat has left the console.
  CChatSession* Session() const { return m_pChat; }
  CChatRichEd* Transcript() const { return m_pLinesView; }
  CMySpellEditCtrl* EntryBox() const { return m_pEntryBox; }

  // The operator brought this chat forward (from the keyboard, the console):
  // it comes to the front, active, with the caret in its entry box rather
  // than on whichever button was clicked last.
  void BringForward();
  // Whether the chat is still shown, in a window of its own or in a tab
  // (one not shown counts): a closed one hides at once and is freed a
  // moment later.
  bool IsOpen() const { return !m_bClosing && (isVisible() || !isWindow()); }
  // The same of any view the list of chats holds: one that is no chat
  // window is open while it is shown.
  static bool IsOpenView(const QObject* view);
  // The other side, as a tab names the chat.
  virtual QString PartnerName() const = 0;
  // Back to a window of its own after it was a tab (hidden: the caller
  // places and shows it).
  void BecomeWindow();

 public slots:
  // Sends the entry box's text as one line and empties the box; a box with
  // nothing but blanks sends nothing.
  void SendChatLine();
  // Closes the window without telling the service; the chat leaves the
  // console, and the window frees itself after the handler that closed it
  // has returned.
  void CloseChatWindow();

 signals:
  // A line of the other side arrived while the operator works elsewhere.
  void AttentionWanted();
  // The chat is a tab of another window and the operator brought it
  // forward: that window shows it.
  void ForwardWanted();
  // The chat closes: it leaves its window or tab now.
  void Closing();

 protected:
  explicit CChatWindowBase(CChatSession& session);

  // Enter in the box sends, Shift+Enter keeps a line break, Escape anywhere
  // clears it. Called as the box is made, before the "/" list watches it,
  // so that the list sees its keys first.
  void WatchEntryBox(CMySpellEditCtrl* entry);
  // Binds the window to its session once its transcript and entry box are
  // made: the lines so far are drawn, and what comes is followed.
  void Bind(CChatRichEd* transcript);
  // Who is typing at the other side changed; the chat ended.
  virtual void ShowTyping(const QString& typist) = 0;
  virtual void OnEnded(CChatSession::EndReason reason, const QString& other) = 0;
  // A line of the other side's was drawn.
  virtual void OnOtherSideWrote() {}
  // The Spell Check box switches the entry box's checking. When no
  // dictionary can be read the box goes unticked, and the window says why,
  // as it does when the operator's own copy had to be passed over.
  void WatchSpellBox(QCheckBox* box);
  // Tells the operator something in this chat without taking the
  // keyboard: a notice among its lines.
  void TellOperator(const QString& text);
  QString ElapsedText() const;
  static FooButton* PushButton(const QString& text, QWidget* parent);
  // The window's icon, frame and first size, and the two controls both
  // windows show in their top row: the elapsed time and the padlock.
  void SetUpWindow(const QSize& size);
  bool IsClosing() const { return m_bClosing; }

  void accept() override;  // Enter never closes the window
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QPointer<CChatSession> m_pChat;
  QLabel* m_pElapsed = nullptr;
  QLabel* m_pPadlock = nullptr;

 private:
  void DrawLines(const QList<TranscriptLine>& lines);

  CChatRichEd* m_pLinesView = nullptr;
  CMySpellEditCtrl* m_pEntryBox = nullptr;
  bool m_bClosing = false;
};
