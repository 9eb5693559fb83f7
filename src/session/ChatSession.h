#pragma once

#include "TranscriptLine.h"
#include "ServiceSound.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class CChatManager;
struct ChatPollReply;

enum class ChatKind { Visitor, Operator };

// One chat of this console with a visitor or another operator, below any
// window: it polls the service for new lines (one poll out at a time),
// keeps the lines for as long as the chat lives in the console, sends the
// operator's lines and hands back one the service did not take, and says
// what happened as typed events. Views bind to it and draw what it says;
// the alert room hears its sounds. It decides nothing about windows.
class CChatSession : public QObject {
  Q_OBJECT

 public:
  // How a chat stopped being this console's to work.
  enum class EndReason {
    VisitorLeft,      // the visitor closed the chat
    EndedAtService,   // ended at the service (a lost Close Chat's answer, a colleague)
    EndedByOperator,  // the operator's Close Chat, confirmed
    Transferred,      // handed to another operator
  };
  Q_ENUM(EndReason)

  ~CChatSession() override;

  ChatKind Kind() const { return m_kind; }
  const QString& Id() const { return m_strChatId; }
  const QList<TranscriptLine>& Lines() const { return m_lines; }
  const QString& LastNumber() const { return m_strLastNum; }
  bool IsPolling() const { return m_pollTimer.isActive(); }
  bool IsPollOut() const { return m_bPollOut; }
  // The chat still runs here: it has neither ended nor gone elsewhere.
  bool IsLive() const { return !m_bEnded && !m_bClosed; }
  bool IsClosed() const { return m_bClosed; }
  qint64 ElapsedSeconds() const { return m_started.elapsed() / 1000; }
  bool IsSecure() const;
  const QString& OwnLoginId() const;
  const QString& SiteId() const;

  // Starts polling at the chat's period and asks for what the chat needs first.
  virtual void Start() = 0;
  // Asks for new lines now (the timer's work); a chat no longer live asks nothing.
  void Poll();
  // Polls at once, as after the machine slept or the network came back:
  // the answer to a poll still out (which may hang on a connection that is
  // gone) no longer counts, so it holds nothing back and shows nothing twice.
  void CatchUp();
  // Sends one line of the operator's; a line of nothing but blanks, or one
  // for a chat that has ended, is not sent (false).
  bool Send(const QString& line);
  // The operator's entry box now holds this many characters.
  virtual void NotifyTyping(int length) = 0;
  // Asks the service to end the chat (Close Chat); Ended follows its confirmation.
  virtual void End() = 0;
  // The chat leaves this console without a word to the service: polling
  // stops and no reply is taken any more.
  void Close();
  // A notice of the console's own in the chat's lines (a problem with the
  // entry box's dictionary, say), shown by every view.
  void AddNotice(const QString& text);

 signals:
  // New lines, in order, each once; notices of the console's own among them.
  void LinesArrived(const QList<TranscriptLine>& lines);
  // The service did not take this line: it goes back to the operator.
  void LineRefused(const QString& line);
  // Who is typing at the other side changed; empty when nobody is.
  void TypingChanged(const QString& typist);
  // The chat stopped being live here; `other` names the operator it went to.
  void Ended(CChatSession::EndReason reason, const QString& other);
  // Close Chat was not carried out: the chat goes on; `text` says why.
  void EndFailed(const QString& text);
  // A reply named a sound of the service's (a new line, a waiting message).
  void SoundRung(ServiceSound sound);
  // The poll timer ticked: views show the time the chat has lasted.
  void Ticked();

 protected:
  using ReplyHandler = std::function<void(const QString& reply)>;

  CChatSession(CChatManager& engine, ChatKind kind, const QString& chatId, QObject* parent);

  // Sends a request whose reply goes to onReply (none: the reply says
  // nothing the chat needs). A closed chat takes no more replies; the
  // engine drops every reply once the session of the console is closing.
  void Request(const QString& url, ReplyHandler onReply);
  ReplyHandler UnlessClosed(ReplyHandler onReply);
  // A slow service gets no second poll before the first is answered: the
  // replies would overtake each other.
  void SendPoll(const QString& url, ReplyHandler onReply);
  void StartPolling(int periodMs);
  void StopPolling() { m_pollTimer.stop(); }
  // Keeps each line of a reply with a new number once; false when the
  // reply brought no new number.
  bool TakeNewLines(const ChatPollReply& reply);
  void AddLines(const QList<TranscriptLine>& lines);
  // Who is typing at the other side, said when it changes.
  void SetTypist(const QString& typist);
  // The chat is over here: polling and sending stop, the lines stay.
  void MarkEnded(EndReason reason, const QString& other = QString());
  bool IsEnded() const { return m_bEnded; }
  // Asks the service for the chat's new lines (and whatever else each
  // tick asks).
  virtual void AskForLines() = 0;
  // The request that sends a line of the operator's.
  virtual QString SendLineRequest(const QString& text) const = 0;
  // A new line of the other side's (a visitor who joined asks for a name).
  virtual void OnLineArrived(const TranscriptLine&) {}

  CChatManager& m_engine;

 private:
  void OnLineReply(const QString& line, const QString& reply);

  const ChatKind m_kind;
  const QString m_strChatId;
  QList<TranscriptLine> m_lines;
  QTimer m_pollTimer;
  QString m_strLastNum = QStringLiteral("1");
  bool m_bPollOut = false;
  quint64 m_nPoll = 0;  // the polls sent so far; only the last one's answer counts
  bool m_bEnded = false;
  bool m_bClosed = false;
  bool m_bToldNotSent = false;  // since the last line the service took
  QString m_strTypist;
  QElapsedTimer m_started;
};
