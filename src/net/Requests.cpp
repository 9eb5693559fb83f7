#include "Requests.h"

#include "StringTable.h"
#include "UrlEncode.h"

// The templates are the service's, "%s" for each value in order.
QString Requests::Fill(const char* format, const QStringList& values) {
  QStringList encoded;
  encoded.reserve(values.size());
  for (const QString& value : values) encoded.append(UrlEncode(value));
  return CStringTable::FormatText(QLatin1String(format), encoded);
}

QString Requests::Login(const QString& loginId, const QString& siteId, const QString& password) {
  return Fill("/wn-login.php?loginid=%s&stid=%s&pwd=%s", {loginId, siteId, password});
}

QString Requests::Parameters(const QString& siteId) { return Fill("/w-param.php?stid=%s&nvar=Y", {siteId}); }

QString Requests::Refresh(bool chatsOnly) const {
  // The chats-only view appends its flag to the template itself.
  QString url = Fill("/wn-allonlineu.php?nadminid=%s&nsid=%s&nvar=Y", {m_session.loginId, m_session.siteId});
  if (chatsOnly) url += QStringLiteral("&conly=Y");
  return url;
}

QString Requests::Status(bool online) const {
  return Fill(
      online ? "/w-mrefresh.php?sid=%s&adminid=%s&action=lgon" : "/w-mrefresh.php?sid=%s&adminid=%s&action=lgof",
      {m_session.siteId, m_session.loginId});
}

QString Requests::LogOut() const {
  return Fill("/w-adminout.php?adminid=%s&sid=%s", {m_session.loginId, m_session.siteId});
}

QString Requests::Action(const QString& actionWord, const QString& sessionId) const {
  return Fill("/wn-action.php?action=%s&csesid=%s&sid=%s&adminid=%s",
              {actionWord, sessionId, m_session.siteId, m_session.loginId});
}

QString Requests::ProactivePop(const QString& sessionId, const QString& popWindow, const QString& popUrl) const {
  return Fill("/w-prop.php?csesid=%s&prop=A&popwin=%s&ppurl=%s", {sessionId, popWindow, popUrl});
}

QString Requests::Accept(const QString& sessionId, const QString& ip) const {
  return Fill("/w-adc.php?csesid=%s&ipaddr=%s&adminid=%s&sid=%s", {sessionId, ip, m_session.loginId, m_session.siteId});
}

QString Requests::VisitorDetails(const QString& sessionId) const {
  return Fill("/wn-lmudets.php?csesid=%s&nvar=Y", {sessionId});
}

QString Requests::FootPrints(const QString& sessionId) const { return Fill("/w-lmfprint.php?csesid=%s", {sessionId}); }

QString Requests::SaveMessage(const QString& operatorId, const QString& text) const {
  return Fill("/w-admsg.php?adid=%s&action=save&admsg=%s&adminid=%s&sid=%s",
              {operatorId, text, m_session.loginId, m_session.siteId});
}

QString Requests::WaitingMessages() const {
  return Fill("/w-admsg.php?action=dsp&snd=p&adminid=%s&sid=%s", {m_session.loginId, m_session.siteId});
}

QString Requests::AllMessages() const {
  return Fill("/w-admsg.php?action=dspall&adminid=%s&sid=%s", {m_session.loginId, m_session.siteId});
}

QString Requests::LogOutOperator(const QString& operatorId) const {
  return Fill("/wn-opout.php?id2out=%s&sid=%s", {operatorId, m_session.siteId});
}

QString Requests::AcceptOperatorChat(const QString& chatId) const {
  return Fill("/wn-opacpt_chts.php?csesid=%s", {chatId});
}

QString Requests::InviteOperator(const QString& operatorId) const {
  return Fill("/wn-opacpt_chts.php?op2=%s&adminid=%s&init=Y&sid=%s", {operatorId, m_session.loginId, m_session.siteId});
}

QString Requests::CloseOperatorChat(const QString& chatId) const {
  return Fill("/wn-opclchat.php?csesid=%s", {chatId});
}

QString Requests::CannedMessages() const {
  return Fill("/wn-amespc.php?adminid=%s&sid=%s", {m_session.loginId, m_session.siteId});
}

QString Requests::SendLine(const QString& text, const QString& sessionId) const {
  return Fill("/w-amessub.php?say=%s&csesid=%s&adminid=%s&sid=%s",
              {text, sessionId, m_session.loginId, m_session.siteId});
}

QString Requests::PollChat(const QString& sessionId, const QString& ip, const QString& lastNumber) const {
  return Fill("/wn-achats.php?uname=&adminid=%s&csesid=%s&ipadd=%s&sid=%s&lastnum=%s",
              {m_session.loginId, sessionId, ip, m_session.siteId, lastNumber});
}

QString Requests::OperatorTyping(const QString& sessionId) const {
  return Fill("/w-otype.php?csesid=%s&stat=otype&sid=%s", {sessionId, m_session.siteId});
}

QString Requests::TransferChat(const QString& sessionId, const QString& operatorId) const {
  return Fill("/w-ctransf.php?csesid=%s&adid=%s&sid=%s&adminid=%s&action=trans",
              {sessionId, operatorId, m_session.siteId, m_session.loginId});
}

QString Requests::NameAndEmail(const QString& sessionId) const {
  return Fill("/w-browser.php?csesid=%s&loginid=%s&stid=%s&opurl=namemail",
              {sessionId, m_session.loginId, m_session.siteId});
}

QString Requests::OperatorSendLine(const QString& text, const QString& chatId) const {
  return Fill("/wn-op_messub.php?say=%s&csesid=%s&adminid=%s&sid=%s",
              {text, chatId, m_session.loginId, m_session.siteId});
}

QString Requests::OperatorPoll(const QString& chatId, const QString& address, const QString& lastNumber) const {
  return Fill("/wn-opachats.php?csesid=%s&ipadd=%s&sid=%s&lastnum=%s", {chatId, address, m_session.siteId, lastNumber});
}

QString Requests::OperatorTypingQuery(const QString& chatId) const {
  return Fill("/wn-op_type.php?csesid=%s&stat=&sid=%s", {chatId, m_session.siteId});
}

QString Requests::OperatorTypingNotice(const QString& chatId) const {
  return Fill("/wn-op_type.php?csesid=%s&stat=otype&sid=1&ct=", {chatId});
}

QString Requests::TranscriptsPage() const {
  return Fill("/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=transcript",
              {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}

QString Requests::ControlPanelPage() const {
  return Fill("/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=control",
              {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}

QString Requests::ChatHistoryPage(const QString& ip) const {
  return Fill("/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=vchathist&ipadd=%s",
              {m_session.loginId, m_session.siteId, m_session.AdminFlag(), ip});
}

QString Requests::FileTransferPage(const QString& sessionId) const {
  return Fill("/wn-fuploadweb.php?adminid=%s&sid=%s&csesid=%s", {m_session.loginId, m_session.siteId, sessionId});
}

QString Requests::OperatorTranscriptsPage() const {
  return Fill("/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=optranscript",
              {m_session.loginId, m_session.siteId, m_session.AdminFlag()});
}
