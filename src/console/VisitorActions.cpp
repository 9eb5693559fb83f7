#include "VisitorActions.h"

#include "AcceptReply.h"
#include "ConsoleSession.h"
#include "ChatManager.h"
#include "ChatWindows.h"
#include "DesktopServices.h"
#include "ResourceIds.h"
#include "Separators.h"
#include "StringTable.h"

#include <QWidget>

namespace {

const QString kTalvero = QStringLiteral("Talvero");

}  // namespace

CVisitorActions::CVisitorActions(CConsoleSession& session, CChatWindows& chatWindows, RowFinder findRow,
                                 QWidget* owner)
    : QObject(owner),
      m_session(session),
      m_engine(session.Engine()),
      m_chatWindows(chatWindows),
      m_findRow(std::move(findRow)),
      m_pOwner(owner) {}

void CVisitorActions::ShowBox(const QString& text, const QString& caption) {
  CDesktopServices::Get().MessageBox(m_pOwner, text, caption, CDesktopServices::Icon::Information);
}

void CVisitorActions::Accept(const CSiteVisitor& row, CChatWindows::Arrival arrival) {
  // The row is copied into the request: the reply finds it even when a
  // refresh has rebuilt the table meanwhile.
  m_engine.RequestAsync(m_engine.Catalogue().Accept(row.m_line.sessionId, row.m_line.ip), this,
                        [this, row, arrival](const QString& reply) { OnAcceptReply(reply, row, arrival); });
}

void CVisitorActions::AcceptChat(const QString& chatId) { AcceptChatAs(chatId, CChatWindows::Arrival::ByOperator); }

void CVisitorActions::AcceptChatAs(const QString& chatId, CChatWindows::Arrival arrival) {
  if (chatId.isEmpty()) return;
  if (m_chatWindows.Raise(chatId, arrival)) return;  // an open chat is only brought forward
  const CSiteVisitor* found = m_findRow ? m_findRow(chatId) : nullptr;
  CSiteVisitor row = found ? *found : CSiteVisitor();
  row.m_line.sessionId = chatId;
  Accept(row, arrival);
}

void CVisitorActions::OnAcceptReply(const QString& reply, const CSiteVisitor& row, CChatWindows::Arrival arrival) {
  const AcceptReply accepted = AcceptReply::Parse(reply);
  if (!accepted.wellFormed) {
    // No answer that can be read: a chat handed over by a colleague is
    // asked for again while the service still offers it.
    if (arrival == CChatWindows::Arrival::ByItself) m_session.TransferAcceptFailed(row.m_line.sessionId);
    return;
  }
  if (!accepted.accepted) {
    ShowBox(accepted.refusal, QStringLiteral("Chat"));
    return;
  }
  const QString chatId = accepted.chatId;
  // A chat window without a chat would poll for nothing under no id.
  if (chatId.isEmpty()) return;
  // The row of the chat the service names, if the table still has it.
  const CSiteVisitor* found = m_findRow ? m_findRow(chatId) : nullptr;
  AcceptedChat chat;
  chat.chatId = chatId;
  chat.visitorName = accepted.visitorName;
  chat.visitorEmail = accepted.visitorEmail;
  chat.visitor = found ? *found : (chatId == row.m_line.sessionId ? row : CSiteVisitor());
  chat.earlierChats = accepted.earlierChats;
  chat.arrival = arrival;
  emit ChatAccepted(chat);
}

void CVisitorActions::SendAction(const QString& action, const VisitorLine& row) {
  const QString ip = row.ip;
  m_engine.RequestAsync(m_engine.Catalogue().Action(action, row.sessionId), this,
                        [this, action, ip](const QString& reply) { OnActionReply(action, ip, reply); });
}

void CVisitorActions::Busy(const VisitorLine& row) { SendAction(CStringTable::Load(IDS_ACTION_REFUSE), row); }

void CVisitorActions::Invite(const VisitorLine& row) { SendAction(CStringTable::Load(IDS_ACTION_INVITE), row); }

void CVisitorActions::Delete(const VisitorLine& row) { SendAction(CStringTable::Load(IDS_ACTION_REMOVE), row); }

void CVisitorActions::BlockIp(const VisitorLine* row) {
  if (row == nullptr) {
    ShowBox(QStringLiteral("Please Select an IP Address to be blocked!"), kTalvero);
    return;
  }
  SendAction(CStringTable::Load(IDS_ACTION_BLOCK_IP), *row);
}

void CVisitorActions::OnActionReply(const QString& action, const QString& ip, const QString& reply) {
  // A failed request shows nothing: the engine warns about the connection.
  if (reply == kDisconnect) return;
  if (action == CStringTable::Load(IDS_ACTION_BLOCK_IP)) {
    ShowBox(reply.isEmpty() ? QStringLiteral(" cannot be blocked!") : reply + QStringLiteral(" blocked Sucessfully!"),
            kTalvero);
  } else if (action == CStringTable::Load(IDS_ACTION_INVITE)) {
    if (!reply.isEmpty()) ShowBox(QStringLiteral("Invitation has been sent to :") + reply, kTalvero);
  } else if (action == CStringTable::Load(IDS_ACTION_REMOVE)) {
    ShowBox(QStringLiteral("IP Address:") + ip + QStringLiteral(" has been deleted!"), kTalvero);
  }
}

QString CVisitorActions::NormalisedPopUrl(const QString& url) {
  const QString trimmed = url.trimmed();
  if (trimmed.isEmpty()) return QString();
  const QString lower = trimmed.toLower();
  for (const char* scheme : {"http://", "https://", "ftp://", "news:", "mailto:", "telnet:", "file://"})
    if (lower.contains(QLatin1String(scheme))) return trimmed;
  return QStringLiteral("http://") + trimmed;
}

void CVisitorActions::ProactivePop(const VisitorLine& row, bool bSameWindow, const QString& url) {
  const QString address = NormalisedPopUrl(url);
  if (address.isEmpty()) return;
  const QString window = bSameWindow ? QStringLiteral("R") : QStringLiteral("N");
  // Its reply says nothing the operator needs.
  m_engine.RequestAsync(m_engine.Catalogue().ProactivePop(row.sessionId, window, address), this, [](const QString&) {});
}

bool CVisitorActions::CanJoin(const QString& status, const QString& loginId, bool bAdmin) {
  if (bAdmin) return true;
  return !loginId.isEmpty() && status.right(loginId.size()).compare(loginId, Qt::CaseInsensitive) == 0;
}

bool CVisitorActions::Allows(Command command, const VisitorLine& line, const QString& loginId, bool bAdmin) {
  switch (command) {
    case Command::Accept: return line.IsChatRequest();
    case Command::Join: return line.IsChatting() && CanJoin(line.status, loginId, bAdmin);
    case Command::Busy: return line.AllowsBusy();
    case Command::Invite: return line.AllowsInvite();
    case Command::Delete: return line.AllowsDelete();
    case Command::BlockIp: return line.AllowsBlockIp();
    case Command::ProactivePop: return line.AllowsProPop();
  }
  return false;
}

void CVisitorActions::AcceptTransferred(const QString& chatId) { AcceptChatAs(chatId, CChatWindows::Arrival::ByItself); }
