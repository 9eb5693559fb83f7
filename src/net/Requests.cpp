#include "Requests.h"

#include "ResourceIds.h"
#include "StringTable.h"
#include "UrlEncode.h"

QString Requests::Fill(int id, const QStringList& values) {
  QStringList encoded;
  encoded.reserve(values.size());
  for (const QString& value : values) encoded.append(UrlEncode(value));
  return CStringTable::Format(id, encoded);
}

QString Requests::Login(const QString& loginId, const QString& siteId, const QString& password) {
  return Fill(IDS_REQ_LOGIN, {loginId, siteId, password});
}

QString Requests::Parameters(const QString& siteId) { return Fill(IDS_REQ_PARAMETERS, {siteId}); }

QString Requests::Refresh(bool chatsOnly) const {
  // The chats-only view appends its flag to the template itself.
  QString url = Fill(IDS_REQ_REFRESH, {m_session.loginId, m_session.siteId});
  if (chatsOnly) url += QStringLiteral("&conly=Y");
  return url;
}

QString Requests::Status(bool online) const {
  return Fill(online ? IDS_REQ_STATUS_ONLINE : IDS_REQ_STATUS_OFFLINE, {m_session.siteId, m_session.loginId});
}

QString Requests::LogOut() const { return Fill(IDS_REQ_LOG_OUT, {m_session.loginId, m_session.siteId}); }

QString Requests::Action(const QString& actionWord, const QString& sessionId) const {
  return Fill(IDS_REQ_ACTION, {actionWord, sessionId, m_session.siteId, m_session.loginId});
}

QString Requests::ProactivePop(const QString& sessionId, const QString& popWindow, const QString& popUrl) const {
  return Fill(IDS_REQ_PROACTIVE_POP, {sessionId, popWindow, popUrl});
}

QString Requests::Accept(const QString& sessionId, const QString& ip) const {
  return Fill(IDS_REQ_ACCEPT_CHAT, {sessionId, ip, m_session.loginId, m_session.siteId});
}

QString Requests::VisitorDetails(const QString& sessionId) const { return Fill(IDS_REQ_VISITOR_DETAILS, {sessionId}); }

QString Requests::FootPrints(const QString& sessionId) const { return Fill(IDS_REQ_FOOT_PRINTS, {sessionId}); }

QString Requests::SaveMessage(const QString& operatorId, const QString& text) const {
  return Fill(IDS_REQ_SAVE_MESSAGE, {operatorId, text, m_session.loginId, m_session.siteId});
}

QString Requests::WaitingMessages() const {
  return Fill(IDS_REQ_WAITING_MESSAGES, {m_session.loginId, m_session.siteId});
}

QString Requests::AllMessages() const { return Fill(IDS_REQ_ALL_MESSAGES, {m_session.loginId, m_session.siteId}); }

QString Requests::LogOutOperator(const QString& operatorId) const {
  return Fill(IDS_REQ_LOG_OUT_OPERATOR, {operatorId, m_session.siteId});
}

QString Requests::AcceptOperatorChat(const QString& chatId) const {
  return Fill(IDS_REQ_ACCEPT_OPERATOR_CHAT, {chatId});
}

QString Requests::InviteOperator(const QString& operatorId) const {
  return Fill(IDS_REQ_INVITE_OPERATOR, {operatorId, m_session.loginId, m_session.siteId});
}

QString Requests::CloseOperatorChat(const QString& chatId) const { return Fill(IDS_REQ_CLOSE_OPERATOR_CHAT, {chatId}); }

QString Requests::CannedMessages() const {
  return Fill(IDS_REQ_CANNED_MESSAGES, {m_session.loginId, m_session.siteId});
}

QString Requests::SendLine(const QString& text, const QString& sessionId) const {
  return Fill(IDS_REQ_SEND_LINE, {text, sessionId, m_session.loginId, m_session.siteId});
}

QString Requests::PollChat(const QString& sessionId, const QString& ip, const QString& lastNumber) const {
  return Fill(IDS_REQ_POLL_CHAT, {m_session.loginId, sessionId, ip, m_session.siteId, lastNumber});
}

QString Requests::OperatorTyping(const QString& sessionId) const {
  return Fill(IDS_REQ_OPERATOR_TYPING, {sessionId, m_session.siteId});
}

QString Requests::TransferChat(const QString& sessionId, const QString& operatorId) const {
  return Fill(IDS_REQ_TRANSFER_CHAT, {sessionId, operatorId, m_session.siteId, m_session.loginId});
}

QString Requests::NameAndEmail(const QString& sessionId) const {
  return Fill(IDS_REQ_NAME_AND_EMAIL, {sessionId, m_session.loginId, m_session.siteId});
}

QString Requests::OperatorSendLine(const QString& text, const QString& chatId) const {
  return Fill(IDS_REQ_OPERATOR_SEND_LINE, {text, chatId, m_session.loginId, m_session.siteId});
}

QString Requests::OperatorPoll(const QString& chatId, const QString& address, const QString& lastNumber) const {
  return Fill(IDS_REQ_OPERATOR_POLL, {chatId, address, m_session.siteId, lastNumber});
}

QString Requests::OperatorTypingQuery(const QString& chatId) const {
  return Fill(IDS_REQ_OPERATOR_TYPING_QUERY, {chatId, m_session.siteId});
}

QString Requests::OperatorTypingNotice(const QString& chatId) const {
  return Fill(IDS_REQ_OPERATOR_TYPING_NOTICE, {chatId});
}

QString Requests::TranscriptsPage() const {
  return Fill(IDS_PAGE_TRANSCRIPTS, {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}

QString Requests::ControlPanelPage() const {
  return Fill(IDS_PAGE_CONTROL_PANEL, {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}

QString Requests::ChatHistoryPage(const QString& ip) const {
  return Fill(IDS_PAGE_CHAT_HISTORY, {m_session.loginId, m_session.siteId, m_session.AdminFlag(), ip});
}

QString Requests::FileTransferPage(const QString& sessionId) const {
  return Fill(IDS_PAGE_FILE_TRANSFER, {m_session.loginId, m_session.siteId, sessionId});
}

QString Requests::OperatorTranscriptsPage() const {
  return Fill(IDS_PAGE_OPERATOR_TRANSCRIPTS, {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}
