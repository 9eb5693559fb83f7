#include "ChatDlg.h"

#include "ConsoleSession.h"
#include "DictionaryLanguages.h"
#include "ChatRichEd.h"
#include "DesktopServices.h"
#include "FooButton.h"
#include "EmotionsDlg.h"
#include "IconButton.h"
#include "MySpellEditCtrl.h"
#include "OperatorBox.h"
#include "OperatorList.h"
#include "OutsideText.h"
#include "Preferences.h"
#include "VisitorDetails.h"
#include "VisitorDtlsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

const QString kVisitorTyping = QStringLiteral("Visitor is Typing");
const QString kTalvero = QStringLiteral("Talvero");

}  // namespace

CChatDlg::CChatDlg(CVisitorChatSession& session) : CChatWindowBase(session) {
  BuildWindow();
  Bind(m_pTranscript);
  connect(&session, &CVisitorChatSession::DetailsArrived, this, &CChatDlg::SetVisitorDetails);
  connect(&session, &CVisitorChatSession::VisitorNamed, this, &CChatDlg::UpdateCaption);
  connect(&session, &CVisitorChatSession::CannedListsArrived, this, &CChatDlg::ShowCannedLists);
  connect(&session, &CVisitorChatSession::EndFailed, this, &CChatDlg::OnEndFailed);
  connect(&session, &CVisitorChatSession::TransferFailed, this, &CChatDlg::OnTransferFailed);
  connect(&session, &CChatSession::Ticked, this, &CChatDlg::RefreshOperatorCombo);
  WatchSpellBox(m_pSpellCheck);
  ShowCannedLists();
  UpdateCaption();
  m_pSpellCheck->setChecked(IsSpellCheckEnabled());
  m_pEntry->setFocus();
}

CChatDlg::~CChatDlg() = default;

void CChatDlg::UpdateCaption() {
  const CVisitorChatSession* chat = Chat();
  if (chat == nullptr) return;
  m_strPartner = DisplayedField(chat->VisitorName().isEmpty() ? chat->VisitorIp() : chat->VisitorName());
  QString caption = QStringLiteral("Chatting with:") + m_strPartner;
  if (!m_strCaptionNote.isEmpty()) caption += u' ' + m_strCaptionNote;
  setWindowTitle(caption);
}

void CChatDlg::SetVisitorDetails(const VisitorDetails& details) {
  m_pDetails->ShowDetails(details);
  // The chat is checked in the visitor's language where a dictionary for it
  // is there; otherwise in English, as before.
  const QString language = CDictionaryLanguages::CodeOf(details.fields[VisitorDetails::Language]);
  if (!language.isEmpty()) m_pEntry->SetLanguage(language);
}

void CChatDlg::RefreshOperatorCombo() {
  const CVisitorChatSession* chat = Chat();
  if (chat == nullptr || chat->Console() == nullptr) return;
  // Nobody is chosen for the operator: a transfer goes where he picked.
  RefillOperatorBox(m_pOperators, chat->Console()->Operators().Entries(), chat->OwnLoginId(), OperatorBoxStart::Empty);
}

void CChatDlg::ShowTyping(const QString& typist) {
  m_pStatusLine->setText(typist.isEmpty() ? QString() : kVisitorTyping);
}

// Whatever the status line said, a line of the visitor's answers it.
void CChatDlg::OnOtherSideWrote() { m_pStatusLine->clear(); }

void CChatDlg::OnEnded(CChatSession::EndReason reason, const QString& other) {
  switch (reason) {
    case CChatSession::EndReason::EndedByOperator: CloseChatWindow(); return;
    case CChatSession::EndReason::VisitorLeft:
      MarkEnded(QStringLiteral("(chat ended)"), QStringLiteral("The visitor has left: the chat has ended."));
      return;
    case CChatSession::EndReason::EndedAtService:
      MarkEnded(QStringLiteral("(chat ended)"), QStringLiteral("The chat has ended."));
      return;
    case CChatSession::EndReason::Transferred:
      MarkEnded(QStringLiteral("(transferred to %1)").arg(other),
                QStringLiteral("The chat went to %1: this window no longer sends or receives lines.").arg(other));
      CDesktopServices::Get().MessageBox(this, QStringLiteral("Chat Session Transferred"), kTalvero,
                                         CDesktopServices::Icon::Information);
      return;
  }
}

// A chat that left this console (the visitor gone, a transfer) has nothing
// to end at the service: Close Chat closes the window.
void CChatDlg::EndChat() {
  if (Chat() == nullptr || !Chat()->IsLive()) {
    CloseChatWindow();
    return;
  }
  m_pCloseChat->setEnabled(false);  // one request out at a time
  Chat()->End();
}

void CChatDlg::OnEndFailed(const QString& text) {
  m_pCloseChat->setEnabled(true);
  m_pStatusLine->setText(text);
}

void CChatDlg::MarkEnded(const QString& captionNote, const QString& status) {
  m_strCaptionNote = captionNote;
  UpdateCaption();
  m_pStatusLine->setText(status);
  // The transcript stays as it is, to read and copy; nothing more is sent.
  m_pEntry->setReadOnly(true);
  for (QWidget* w : std::initializer_list<QWidget*>{m_pSend, m_pTransfer, m_pEmoticons}) w->setEnabled(false);
}

void CChatDlg::OpenEmoticonPicker() { CEmotionsDlg::Open(m_pEmoticons, m_pEntry); }


// Closing the window of a live chat would leave the visitor waiting with
// nobody there: it asks first.
void CChatDlg::reject() {
  const CVisitorChatSession* chat = Chat();
  if (chat != nullptr && chat->IsLive() && !IsClosing()) {
    const QString who = chat->VisitorName().isEmpty() ? chat->VisitorIp() : chat->VisitorName();
    const CDesktopServices::Answer answer = CDesktopServices::Get().MessageBox(
        this,
        QStringLiteral("End the chat with %1?\n\nYes ends it, as Close Chat does. No closes this window and leaves "
                       "the chat open at the service, with the visitor waiting. Cancel keeps the window.")
            .arg(who),
        kTalvero, CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNoCancel);
    if (answer == CDesktopServices::Answer::Cancel) return;
    if (answer == CDesktopServices::Answer::Yes) {
      EndChat();  // the window closes when the service confirms
      return;
    }
  }
  CloseChatWindow();
}

bool CChatDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == m_pFilter && FilterKey(key)) || (watched == m_pTools && TreeKey(key))) return true;
  }
  return CChatWindowBase::eventFilter(watched, event);
}
