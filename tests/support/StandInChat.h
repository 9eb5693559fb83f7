#pragma once

#include "ChatDlg.h"
#include "OperChatDlg.h"

// A real chat window over a session of its own, of either kind, for tests
// of the hosts and lists of chats. The session belongs to whoever lists it
// (CChatWindows::Open does).
inline CChatWindowBase* StandInChat(CChatManager& engine, const QString& chatId, ChatKind kind) {
  if (kind == ChatKind::Operator)
    return new COperChatDlg(*new COperatorChatSession(engine, QStringLiteral("ben"), chatId));
  return new CChatDlg(*new CVisitorChatSession(engine, nullptr, QStringLiteral("10.0.0.9"), chatId, QString(),
                                               QString(), true));
}
