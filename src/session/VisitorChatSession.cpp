#include "VisitorChatSession.h"

#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ConsoleSession.h"
#include "Presence.h"
#include "Separators.h"
#include "ShortReplies.h"
#include "VisitorDetails.h"

namespace {

// The notice the service puts among the lines when the visitor has joined.
const QString kJoinNotice = QStringLiteral("notice:now user has join the chat");

}  // namespace

CVisitorChatSession::CVisitorChatSession(CChatManager& engine, CConsoleSession* console, const QString& visitorIp,
                                         const QString& chatId, const QString& visitorName,
                                         const QString& visitorEmail, bool bDetailsKnown, QObject* parent)
    : CChatSession(engine, ChatKind::Visitor, chatId, parent),
      m_pConsole(console),
      m_strVisitorIp(visitorIp),
      m_strVisitorName(visitorName),
      m_strVisitorEmail(visitorEmail),
      m_bDetailsKnown(bDetailsKnown) {}

CConsoleSession* CVisitorChatSession::Console() const { return m_pConsole.data(); }

void CVisitorChatSession::Start() {
  StartPolling(m_engine.Session().chatPeriodMs);
  m_engine.RequestCannedMessages(this, UnlessClosed([this](const QString& reply) {
                                   const CannedLists lists = CannedLists::Parse(reply);
                                   m_canned.pushUrls += lists.pushUrls;
                                   m_canned.responses += lists.responses;
                                   emit CannedListsArrived();
                                 }));
  if (m_bDetailsKnown) return;
  Request(m_engine.Catalogue().VisitorDetails(Id()), [this](const QString& reply) {
    const VisitorDetails details = VisitorDetails::Parse(reply);
    if (!details.wellFormed) return;
    m_bDetailsKnown = true;
    if (!m_pConsole.isNull()) m_pConsole->CacheDetails(details, Id());
    emit DetailsArrived(details);
  });
}

void CVisitorChatSession::AskForLines() {
  SendPoll(m_engine.Catalogue().PollChat(Id(), m_strVisitorIp, LastNumber()),
           [this](const QString& reply) { OnPollReply(ChatPollReply::Parse(reply)); });
  // The operator is at work: the console's presence says so.
  if (!m_pConsole.isNull()) m_pConsole->Presence().Announce();
}

void CVisitorChatSession::OnPollReply(const ChatPollReply& reply) {
  if (IsEnded()) return;  // a poll answered after the chat ended
  if (reply.hasTypingFlag) SetTypist(reply.visitorTyping ? QStringLiteral("Visitor") : QString());
  if (!TakeNewLines(reply)) {
    if (reply.IsClosingNotice(ChatPollReply::kClosedByUser)) {
      AddLines({TranscriptLine::Notice(ChatPollReply::kClosedByUser)});
      MarkEnded(EndReason::VisitorLeft);
    } else if (reply.IsClosingNotice(ChatPollReply::kClosedByOperator)) {
      // Ended at the service, by a Close Chat whose answer was lost or by
      // another operator: without this the chat would still look live.
      AddLines({TranscriptLine::Notice(ChatPollReply::kClosedByOperator)});
      MarkEnded(EndReason::EndedAtService);
    }
  }
  if (reply.RingsNewLine()) emit SoundRung(reply.sound);
}

void CVisitorChatSession::OnLineArrived(const TranscriptLine& line) {
  if (!line.text.startsWith(kJoinNotice, Qt::CaseInsensitive)) return;
  if (!m_strVisitorName.isEmpty() || !m_strVisitorEmail.isEmpty()) return;
  Request(m_engine.Catalogue().NameAndEmail(Id()), [this](const QString& text) {
    const VisitorNameReply reply = VisitorNameReply::Parse(text);
    if (!reply.wellFormed) return;
    m_strVisitorName = reply.name;
    m_strVisitorEmail = reply.email;
    emit VisitorNamed();
  });
}

QString CVisitorChatSession::SendLineRequest(const QString& text) const {
  return m_engine.Catalogue().SendLine(text, Id());
}

void CVisitorChatSession::NotifyTyping(int length) {
  if (IsLive() && length > 0 && length % 6 == 0)
    Request(m_engine.Catalogue().OperatorTyping(Id()), {});
}

// Polling goes on until the service confirms the end: stopping it at once
// froze a chat that still ran when the request was refused or lost.
void CVisitorChatSession::End() {
  if (!IsLive() || m_bEndOut) return;  // one request out at a time
  m_bEndOut = true;
  Request(EndRequest(), [this](const QString& reply) { OnEndReply(reply); });
}

QString CVisitorChatSession::EndRequest() const { return m_engine.Catalogue().Action(QStringLiteral("endchatcl"), Id()); }

void CVisitorChatSession::EndNow(int waitMs) {
  if (!IsLive()) return;
  QString reply;
  m_engine.RequestSync(EndRequest(), reply, waitMs);
  Close();
}

void CVisitorChatSession::OnEndReply(const QString& reply) {
  m_bEndOut = false;
  if (IsConfirmed(reply)) {
    MarkEnded(EndReason::EndedByOperator);
    return;
  }
  const QString text = reply == kDisconnect
                           ? QStringLiteral("The chat was not ended: the service did not answer. Press Close Chat to try again.")
                           : QStringLiteral("The service did not end the chat. Press Close Chat to try again.");
  AddNotice(text);
  emit EndFailed(text);
}

void CVisitorChatSession::Transfer(const QString& toOperator) {
  if (!IsLive() || m_bTransferOut) return;
  m_bTransferOut = true;
  Request(m_engine.Catalogue().TransferChat(Id(), toOperator),
          [this, toOperator](const QString& reply) { OnTransferReply(reply, toOperator); });
}

// A transfer that did not happen is said; one that did ends this
// console's part in the chat: it no longer polls or sends.
void CVisitorChatSession::OnTransferReply(const QString& reply, const QString& toOperator) {
  m_bTransferOut = false;
  if (IsConfirmed(reply)) {
    AddNotice(QStringLiteral("The chat went to %1.").arg(toOperator));
    MarkEnded(EndReason::Transferred, toOperator);
    return;
  }
  const QString text =
      reply == kDisconnect
          ? QStringLiteral("The chat was not transferred to %1: the service did not answer. The chat stays with you.")
                .arg(toOperator)
          : QStringLiteral("The service refused to transfer the chat to %1. The chat stays with you.").arg(toOperator);
  AddNotice(text);
  emit TransferFailed(text);
}

void CVisitorChatSession::OpenChatHistory() {
  m_engine.OpenServerPage(m_engine.Catalogue().ChatHistoryPage(m_strVisitorIp));
}

void CVisitorChatSession::OpenFileTransfer() {
  m_engine.OpenServerPage(m_engine.Catalogue().FileTransferPage(Id()), true);
}
