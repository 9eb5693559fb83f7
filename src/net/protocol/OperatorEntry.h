#pragma once

#include <QString>

// One operator of the site, from the refresh reply's operators block.
struct OperatorEntry {
  QString name;       // login id
  QString chatId;     // operator chat session id, when a chat concerns this entry
  QString chatState;  // "op_chat", "op_chat_picked", "Chatting", "chat_initiated", "Initiate" or empty
  QString status;     // "Online" or "Offline"

  // A chat request stands on the entry; it can be taken when it names its chat.
  bool HasChatRequest() const { return chatState == QLatin1String("op_chat"); }
  // This operator asks for a chat with the one logged in here.
  bool AsksForChat() const { return !chatId.isEmpty() && HasChatRequest(); }
  // Another operator of this site took the request.
  bool IsChatPicked() const { return chatState == QLatin1String("op_chat_picked"); }
  // In a chat with this operator, taken here or by a colleague.
  bool IsChatting() const { return IsChatPicked() || chatState == QLatin1String("Chatting"); }
  bool IsChatInitiated() const { return chatState == QLatin1String("chat_initiated"); }
  // The service may put a chat's state in the status field too.
  bool StatusSaysChatting() const { return status.startsWith(QLatin1String("Chatting")); }
  bool StatusSaysChatRequest() const { return status.compare(QLatin1String("Chat request"), Qt::CaseInsensitive) == 0; }
  // Online and free to be asked for a chat.
  bool CanBeInvited() const { return IsOnline() && chatState == QLatin1String("Initiate"); }
  bool IsOnline() const { return status == QLatin1String("Online"); }
  bool IsOffline() const { return status == QLatin1String("Offline"); }
};
