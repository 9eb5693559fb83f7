#include "OperChatDlg.h"

#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "OutsideText.h"
#include "WindowUnits.h"
#include "FooButton.h"
#include "MessageDlg.h"
#include "MessagesReply.h"
#include "MySpellEditCtrl.h"
#include "Preferences.h"
#include "RequestTypes.h"
#include "Separators.h"
#include "ShortReplies.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>


COperChatDlg::COperChatDlg(CChatManager& engine, const QString& otherOperator, const QString& chatId)
    : CChatWindowBase(engine), m_strOperator(otherOperator), m_strChatId(chatId) {
  BuildWindow();
  connect(&m_pollTimer, &QTimer::timeout, this, &COperChatDlg::PollMessages);
  connect(m_pTranscript, &CChatRichEd::OtherSideWrote, m_pTyping, &QLabel::clear);
  connect(m_pEntry, &QPlainTextEdit::textChanged, this, &COperChatDlg::NotifyTyping);
  WatchSpellBox(m_pSpellCheck);
}

void COperChatDlg::BuildWindow() {
  const CWindowUnits du = CWindowUnits::Of(this);
  SetUpWindow(du.Size(348, 244));
  FooButton* view = PushButton(QStringLiteral("Vie&w Message"), this);
  FooButton* transcripts = PushButton(QStringLiteral("Transcripts"), this);
  FooButton* close = PushButton(QStringLiteral("Close Chat"), this);
  m_pTranscript = new CChatRichEd(this);
  m_pTranscript->SetPlainLines(true);
  m_pEntry = new CMySpellEditCtrl(this);
  m_pEntry->setFixedHeight(du.Y(36));
  WatchEntryBox(m_pEntry);
  m_pTyping = new QLabel(this);
  m_pTyping->setTextFormat(Qt::PlainText);
  m_pSend = PushButton(QStringLiteral("&Send"), this);
  m_pSpellCheck = new QCheckBox(QStringLiteral("Spell Chec&k"), this);

  auto* top = new QHBoxLayout;
  top->addWidget(m_pElapsed);
  top->addWidget(m_pPadlock);
  top->addStretch(1);
  top->addWidget(view);
  top->addWidget(transcripts);
  top->addWidget(close);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_pSpellCheck);
  bottom->addWidget(m_pTyping, 1);
  bottom->addWidget(m_pSend);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_pTranscript, 1);
  layout->addWidget(m_pEntry);
  layout->addLayout(bottom);

  connect(view, &QPushButton::clicked, this, &COperChatDlg::ViewMessages);
  connect(transcripts, &QPushButton::clicked, this, &COperChatDlg::ShowTranscripts);
  connect(close, &QPushButton::clicked, this, &COperChatDlg::EndChat);
  connect(m_pSend, &QPushButton::clicked, this, &COperChatDlg::SendChatLine);
}

bool COperChatDlg::OnInitDialog() {
  m_pTranscript->SetOwnLoginId(m_engine.Session().loginId);
  m_pollTimer.start(m_engine.Session().operChatPeriodMs);
  setWindowTitle(QStringLiteral("Chatting with:") + DisplayedField(m_strOperator));
  m_pSpellCheck->setChecked(IsSpellCheckEnabled());
  m_pPadlock->setVisible(m_engine.Session().secure);
  m_pEntry->setFocus();
  return true;
}

void COperChatDlg::PollMessages() {
  SendPoll(m_engine.Catalogue().OperatorPoll(m_strChatId, m_strOperator, LastNumber()), REQ_OPERATOR_POLL,
           [this](const QString& reply) { OnPollReply(ChatPollReply::ParseBlocks(reply)); });
  // One typing query out at a time, like the poll.
  if (!m_bTypingQueryOut) {
    m_bTypingQueryOut = true;
    Request(m_engine.Catalogue().OperatorTypingQuery(m_strChatId), REQ_OPERATOR_TYPING_QUERY,
            [this](const QString& reply) { OnTypingReply(OperatorTypingReply::Parse(reply)); });
  }
  m_pElapsed->setText(ElapsedText());
}

QString COperChatDlg::SendLineRequest(const QString& text) const {
  return m_engine.Catalogue().OperatorSendLine(text, m_strChatId);
}

int COperChatDlg::SendLineType() const { return REQ_OPERATOR_SEND_LINE; }

void COperChatDlg::NotifyTyping() {
  const int length = m_pEntry->toPlainText().size();
  if (!m_bTypingNotified) {
    m_bTypingNotified = true;
    Request(m_engine.Catalogue().OperatorTypingNotice(m_strChatId), REQ_OPERATOR_TYPING_NOTICE, {});
  } else if (length > 0 && length % 5 == 0) {
    m_bTypingNotified = false;  // the next change tells again
  }
}

void COperChatDlg::ViewMessages() {
  Request(m_engine.Catalogue().AllMessages(), REQ_OPERATOR_MESSAGES,
          [this](const QString& reply) { OnMessagesReply(MessagesReply::Parse(reply)); });
}

void COperChatDlg::ShowTranscripts() { m_engine.OpenServerPage(m_engine.Catalogue().OperatorTranscriptsPage()); }

void COperChatDlg::EndChat() {
  // Over already: there is nothing to end at the service, only the window.
  if (m_bEnded) {
    CloseChatWindow();
    return;
  }
  m_pollTimer.stop();
  Request(m_engine.Catalogue().CloseOperatorChat(m_strChatId), REQ_CLOSE_OPERATOR_CHAT,
          [this](const QString& reply) { OnCloseReply(reply); });
}

void COperChatDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing() || m_bClosing) return;
  switch (nType) {
    case REQ_OPERATOR_MESSAGES: OnMessagesReply(MessagesReply::Parse(strReply)); break;
    case REQ_OPERATOR_POLL: OnPollReply(ChatPollReply::ParseBlocks(strReply)); break;
    case REQ_OPERATOR_TYPING_QUERY: OnTypingReply(OperatorTypingReply::Parse(strReply)); break;
    case REQ_CLOSE_OPERATOR_CHAT: OnCloseReply(strReply); break;
    default: break;
  }
}

void COperChatDlg::OnTypingReply(const OperatorTypingReply& reply) {
  m_bTypingQueryOut = false;
  // A failed query says nothing about typing.
  if (!reply.wellFormed) return;
  m_pTyping->setText(reply.typist.isEmpty() ? QString() : reply.typist + QStringLiteral(" is Typing"));
}

void COperChatDlg::OnMessagesReply(const MessagesReply& reply) {
  if (reply.RingsNewMessage()) emit SoundRung(reply.sound);
  CMessageDlg::ShowMessagesReply(reply);
}

// A failed close leaves the chat open at the service: the window stays,
// polling stopped, and Close Chat can be pressed again.
void COperChatDlg::OnCloseReply(const QString& reply) {
  if (reply != kDisconnect) CloseChatWindow();
}

void COperChatDlg::OnPollReply(const ChatPollReply& reply) {
  if (!AppendNewLines(reply) && reply.IsClosingNotice(ChatPollReply::kClosedByOperator)) {
    AppendTranscriptLine(ChatPollReply::kClosedByOperator);
    MarkEnded();
  }
  if (reply.RingsNewLine()) emit SoundRung(reply.sound);
}

// The other operator ended the chat: the window says so as a visitor chat's
// does, takes no more lines, and keeps the transcript to read and copy.
void COperChatDlg::MarkEnded() {
  m_bEnded = true;
  m_pollTimer.stop();
  setWindowTitle(QStringLiteral("Chatting with:") + m_strOperator + QStringLiteral(" (chat ended)"));
  m_pTyping->setText(QStringLiteral("%1 has ended the chat.").arg(m_strOperator));
  m_pEntry->setReadOnly(true);
  m_pSend->setEnabled(false);
}

void COperChatDlg::AppendTranscriptLine(const QString& text) { m_pTranscript->AppendTranscriptLine(text); }

void COperChatDlg::reject() { EndChat(); }
