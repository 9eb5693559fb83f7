#include "OperChatDlg.h"

#include "ChatRichEd.h"
#include "OutsideText.h"
#include "WindowUnits.h"
#include "FooButton.h"
#include "MessageDlg.h"
#include "MessagesReply.h"
#include "MySpellEditCtrl.h"
#include "Preferences.h"
#include "Shortcuts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>


COperChatDlg::COperChatDlg(COperatorChatSession& session) : CChatWindowBase(session) {
  BuildWindow();
  Bind(m_pTranscript);
  connect(&session, &COperatorChatSession::MessagesArrived, this,
          [](const MessagesReply& reply) { CMessageDlg::ShowMessagesReply(reply); });
  WatchSpellBox(m_pSpellCheck);
  m_strPartner = DisplayedField(session.OtherOperator());
  setWindowTitle(QStringLiteral("Chatting with:") + m_strPartner);
  m_pSpellCheck->setChecked(IsSpellCheckEnabled());
  m_pEntry->setFocus();
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
  CShortcuts::Instance().AddButtonKey(this, QStringLiteral("CloseChat"), close);
  CShortcuts::Instance().AddButtonKey(this, QStringLiteral("SpellCheck"), m_pSpellCheck);
}

void COperChatDlg::ViewMessages() {
  if (Chat()) Chat()->ViewMessages();
}

void COperChatDlg::ShowTranscripts() {
  if (Chat()) Chat()->OpenTranscripts();
}

// Over already: there is nothing to end at the service, only the window.
void COperChatDlg::EndChat() {
  if (Chat() == nullptr || !Chat()->IsLive())
    CloseChatWindow();
  else
    Chat()->End();
}

void COperChatDlg::ShowTyping(const QString& typist) {
  m_pTyping->setText(typist.isEmpty() ? QString() : typist + QStringLiteral(" is Typing"));
}

void COperChatDlg::OnOtherSideWrote() { m_pTyping->clear(); }

// The other operator ended the chat: the window says so as a visitor chat's
// does, takes no more lines, and keeps the transcript to read and copy.
void COperChatDlg::OnEnded(CChatSession::EndReason reason, const QString& other) {
  if (reason == CChatSession::EndReason::EndedByOperator) {
    CloseChatWindow();
    return;
  }
  setWindowTitle(QStringLiteral("Chatting with:") + DisplayedField(other) + QStringLiteral(" (chat ended)"));
  m_pTyping->setText(QStringLiteral("%1 has ended the chat.").arg(other));
  m_pEntry->setReadOnly(true);
  m_pSend->setEnabled(false);
}

void COperChatDlg::reject() { EndChat(); }
