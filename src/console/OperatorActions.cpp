#include "OperatorActions.h"

#include "ChatManager.h"
#include "MessageDlg.h"
#include "MessagesReply.h"
#include "OperatorChatReply.h"
#include "Separators.h"

#include <QWidget>

COperatorActions::COperatorActions(CChatManager& engine, QWidget* owner) : QObject(owner), m_engine(engine) {}

bool COperatorActions::Allows(Command command, const OperatorEntry& entry, const QString& loginId, bool bAdmin,
                              Where where) {
  if (command == Command::LogOut) return bAdmin;
  if (where == Where::Buttons)
    return command == Command::RequestChat ? entry.CanBeInvited() : entry.AsksForChat();
  if (entry.IsChatPicked()) return false;
  const bool asked = (entry.IsOnline() || entry.IsOffline()) && entry.HasChatRequest();
  if (command != Command::RequestChat) return asked || entry.AsksForChat();
  const bool own = entry.name.compare(loginId, Qt::CaseInsensitive) == 0;
  return !own && !entry.IsOffline() && !asked;
}

void COperatorActions::Send(const QString& url, std::function<void(const QString&)> onReply) {
  m_engine.RequestAsync(url, this, std::move(onReply));
}

void COperatorActions::RequestChat(const QString& operatorId) {
  Send(m_engine.Catalogue().InviteOperator(operatorId), [this](const QString& reply) { OnOperatorChatReply(reply); });
}

void COperatorActions::AcceptChat(const QString& chatId) {
  Send(m_engine.Catalogue().AcceptOperatorChat(chatId), [this](const QString& reply) { OnOperatorChatReply(reply); });
}

void COperatorActions::Deny(const QString& chatId) {
  Send(m_engine.Catalogue().CloseOperatorChat(chatId), {});
}

void COperatorActions::LogOutOperator(const QString& operatorId) {
  Send(m_engine.Catalogue().LogOutOperator(operatorId), {});
}

void COperatorActions::SendMessage(const QString& operatorId, const QString& text,
                                   std::function<void(const QString& reply)> onSent,
                                   std::function<void(const QString& text)> onFailure) {
  Send(m_engine.Catalogue().SaveMessage(operatorId, text),
       [text, onSent = std::move(onSent), onFailure = std::move(onFailure)](const QString& reply) {
         if (reply == kDisconnect) {
           if (onFailure) onFailure(text);
         } else if (onSent) {
           onSent(reply);
         }
       });
}

void COperatorActions::ViewMessages() {
  Send(m_engine.Catalogue().AllMessages(),
       [this](const QString& reply) { ShowMessages(MessagesReply::Parse(reply), true); });
}

void COperatorActions::WaitingMessages() {
  if (m_bWaitingMessagesOut) return;
  m_bWaitingMessagesOut = true;
  m_engine.RequestAsync(m_engine.Catalogue().WaitingMessages(), this, [this](const QString& reply) {
    m_bWaitingMessagesOut = false;
    // Messages that wait arrive by themselves: they never take the keyboard.
    ShowMessages(MessagesReply::Parse(reply), false);
  });
}

void COperatorActions::ShowMessages(const MessagesReply& reply, bool bAskedFor) {
  if (reply.RingsNewMessage()) emit SoundRung(reply.sound);
  CMessageDlg::ShowMessagesReply(reply, bAskedFor);
}

void COperatorActions::OnOperatorChatReply(const QString& reply) {
  const OperatorChatReply chat = OperatorChatReply::Parse(reply);
  if (!chat.wellFormed) return;
  emit ChatAccepted(chat.chatId, chat.otherOperator);
}
