#include "ChatSession.h"

#include "ChatManager.h"
#include "ChatPollReply.h"
#include "Separators.h"

namespace {

// What the service answers when it refuses a line: the chat takes no more.
// The failure marker stands for every request that got no answer (the
// network, a time-out, an error status); any other answer means the line
// was stored, since services answer a stored line in more than one way.
const QString kLineRefused = QStringLiteral("false");
const QString kNotSent = QStringLiteral(
    "Notice: the service did not confirm your line, so it may not have reached the chat. "
    "It is back in the entry box to send again.");

}  // namespace

CChatSession::CChatSession(CChatManager& engine, ChatKind kind, const QString& chatId, QObject* parent)
    : QObject(parent), m_engine(engine), m_kind(kind), m_strChatId(chatId) {
  m_started.start();
  connect(&m_pollTimer, &QTimer::timeout, this, &CChatSession::Poll);
}

CChatSession::~CChatSession() = default;

bool CChatSession::IsSecure() const { return m_engine.Session().secure; }

const QString& CChatSession::OwnLoginId() const { return m_engine.Session().loginId; }
const QString& CChatSession::SiteId() const { return m_engine.Session().siteId; }

CChatSession::ReplyHandler CChatSession::UnlessClosed(ReplyHandler onReply) {
  if (!onReply) return {};
  return [this, onReply = std::move(onReply)](const QString& reply) {
    if (!m_bClosed) onReply(reply);
  };
}

void CChatSession::Request(const QString& url, ReplyHandler onReply) {
  m_engine.RequestAsync(url, this, UnlessClosed(std::move(onReply)));
}

void CChatSession::Poll() {
  if (!IsLive()) return;  // a tick queued before the chat ended
  AskForLines();
  emit Ticked();
}

void CChatSession::StartPolling(int periodMs) { m_pollTimer.start(periodMs); }

void CChatSession::SendPoll(const QString& url, ReplyHandler onReply) {
  if (m_bPollOut) return;
  m_bPollOut = true;
  const quint64 poll = ++m_nPoll;
  Request(url, [this, poll, onReply = std::move(onReply)](const QString& reply) {
    if (poll != m_nPoll) return;  // a newer poll went out after a catch-up
    m_bPollOut = false;
    onReply(reply);
  });
}

void CChatSession::CatchUp() {
  if (m_bClosed || !m_pollTimer.isActive()) return;
  ++m_nPoll;
  m_bPollOut = false;
  Poll();
  m_pollTimer.start();  // the next tick a whole period from now
}

bool CChatSession::TakeNewLines(const ChatPollReply& reply) {
  if (reply.number.isEmpty() || reply.number == m_strLastNum) return false;
  QList<TranscriptLine> lines;
  lines.reserve(reply.lines.size());
  for (const QString& text : reply.lines) lines.append(TranscriptLine::Read(text, OwnLoginId()));
  m_strLastNum = reply.number;
  AddLines(lines);
  for (const TranscriptLine& line : lines) OnLineArrived(line);
  return true;
}

void CChatSession::AddLines(const QList<TranscriptLine>& lines) {
  if (lines.isEmpty()) return;
  m_lines += lines;
  emit LinesArrived(lines);
}

void CChatSession::SetTypist(const QString& typist) {
  if (typist == m_strTypist) return;
  m_strTypist = typist;
  emit TypingChanged(typist);
}

void CChatSession::AddNotice(const QString& text) {
  AddLines({TranscriptLine::Notice(QStringLiteral("Notice: ") + text)});
}

bool CChatSession::Send(const QString& line) {
  if (!IsLive() || line.trimmed().isEmpty()) return false;
  Request(SendLineRequest(line), [this, line](const QString& reply) { OnLineReply(line, reply); });
  return true;
}

void CChatSession::OnLineReply(const QString& line, const QString& reply) {
  if (reply != kDisconnect && reply != kLineRefused) {
    m_bToldNotSent = false;
    return;
  }
  emit LineRefused(line);
  // Once until a line gets through, among the lines: a box would take the
  // keyboard from the operator typing in this chat.
  if (m_bToldNotSent) return;
  m_bToldNotSent = true;
  AddLines({TranscriptLine::Notice(kNotSent)});
}

void CChatSession::MarkEnded(EndReason reason, const QString& other) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_pollTimer.stop();
  emit Ended(reason, other);
}

void CChatSession::Close() {
  if (m_bClosed) return;
  m_bClosed = true;
  m_pollTimer.stop();
}
