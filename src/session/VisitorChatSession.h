#pragma once

#include "CannedLists.h"
#include "ChatSession.h"

#include <QPointer>

class CConsoleSession;
struct VisitorDetails;

// A chat with a visitor of the site: its poll carries whether the visitor
// is typing; the service is told every sixth character the operator types;
// a visitor who joins is asked for a name and e-mail address; the chat can
// be ended, or transferred to another operator. The visitor's details and
// the account's canned lists are asked for when it starts.
class CVisitorChatSession : public CChatSession {
  Q_OBJECT

 public:
  CVisitorChatSession(CChatManager& engine, CConsoleSession* console, const QString& visitorIp,
                      const QString& chatId, const QString& visitorName, const QString& visitorEmail,
                      bool bDetailsKnown, QObject* parent = nullptr);

  const QString& VisitorIp() const { return m_strVisitorIp; }
  const QString& VisitorName() const { return m_strVisitorName; }
  const QString& VisitorEmail() const { return m_strVisitorEmail; }
  const CannedLists& Canned() const { return m_canned; }
  // The console's session; null once it has ended.
  CConsoleSession* Console() const;

  void Start() override;
  void NotifyTyping(int length) override;
  void End() override;
  // Ends the chat at the service before the console closes, waiting for
  // the answer at most waitMs; the chat leaves the console either way.
  void EndNow(int waitMs);
  // Hands the chat to another operator of the site; Ended (Transferred)
  // follows the service's confirmation, TransferFailed its refusal.
  void Transfer(const QString& toOperator);
  // The service's pages about this chat.
  void OpenChatHistory();
  void OpenFileTransfer();

 signals:
  void DetailsArrived(const VisitorDetails& details);
  // The visitor's name or e-mail address became known.
  void VisitorNamed();
  void CannedListsArrived();
  void TransferFailed(const QString& text);

 protected:
  void AskForLines() override;
  QString SendLineRequest(const QString& text) const override;
  void OnLineArrived(const TranscriptLine& line) override;

 private:
  // Close Chat's request, sent alike whether the answer is awaited or not.
  QString EndRequest() const;
  void OnPollReply(const ChatPollReply& reply);
  void OnEndReply(const QString& reply);
  void OnTransferReply(const QString& reply, const QString& toOperator);

  QPointer<CConsoleSession> m_pConsole;  // the console's session, which may end first
  QString m_strVisitorIp;
  QString m_strVisitorName;
  QString m_strVisitorEmail;
  bool m_bDetailsKnown;
  bool m_bEndOut = false;
  bool m_bTransferOut = false;
  CannedLists m_canned;
};
