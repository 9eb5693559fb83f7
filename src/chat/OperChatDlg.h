#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class CChatManager;
class CChatRichEd;
class CMySpellEditCtrl;
class FooButton;
class QCheckBox;
class QLabel;
struct ChatPollReply;

// The window of a chat with another operator of the site. It polls for new
// lines and for whether the other operator is typing (one request of each
// out at a time), sends the operator's lines, tells the other side when
// the operator types, shows messages left by other operators, and ends on
// Close Chat once the service answers. Enter sends, Escape clears the
// entry box. The window frees itself when it closes.
class COperChatDlg : public QDialog {
  Q_OBJECT

 public:
  COperChatDlg(CChatManager& engine, const QString& otherOperator, const QString& chatId);

  bool OnInitDialog();
  void HandleServerReply(int nType, const QString& strReply);
  void AppendTranscriptLine(const QString& text);

  const QString& ChatId() const { return m_strChatId; }
  const QString& LastNumber() const { return m_strLastNum; }
  bool IsPolling() const { return m_pollTimer.isActive(); }
  CChatRichEd* Transcript() const { return m_pTranscript; }
  CMySpellEditCtrl* EntryBox() const { return m_pEntry; }
  QLabel* TypingLine() const { return m_pTyping; }
  QLabel* ElapsedTime() const { return m_pElapsed; }

 public slots:
  void PollMessages();
  void SendChatLine();
  void NotifyTyping();
  void ViewMessages();
  void ShowTranscripts();
  void EndChat();
  void CloseChatWindow();

 protected:
  void accept() override;
  void reject() override;  // the close box ends the chat as Close Chat does
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void Request(const QString& url, int nType);
  void OnPollReply(const ChatPollReply& reply);

  CChatManager& m_engine;
  QString m_strOperator;
  QString m_strChatId;
  QString m_strLastNum = QStringLiteral("1");
  bool m_bPollOut = false;
  bool m_bTypingQueryOut = false;
  bool m_bTypingNotified = false;  // re-armed every fifth character
  bool m_bClosing = false;
  QTimer m_pollTimer;
  QElapsedTimer m_started;

  QLabel* m_pElapsed;
  QLabel* m_pTyping;
  QLabel* m_pPadlock;
  CChatRichEd* m_pTranscript;
  CMySpellEditCtrl* m_pEntry;
  QCheckBox* m_pSpellCheck;
  FooButton* m_pSend;
};
