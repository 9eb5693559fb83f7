#include "ChatDlg.h"

#include "ChatConsole.h"
#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "EmotionsDlg.h"
#include "EventSound.h"
#include "IconButton.h"
#include "MySpellEditCtrl.h"
#include "OperatorBox.h"
#include "Preferences.h"
#include "RequestTypes.h"
#include "Separators.h"
#include "SplitReply.h"
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

}  // namespace

CChatDlg::CChatDlg(CChatManager& engine, IChatConsole* console, const QString& visitorIp, const QString& chatId,
                   const QString& visitorName, const QString& visitorEmail, bool bDetailsKnown)
    : CChatWindowBase(engine),
      m_pConsoleObject(dynamic_cast<QObject*>(console)),
      m_pConsole(console),
      m_strChatId(chatId),
      m_strVisitorName(visitorName),
      m_strVisitorEmail(visitorEmail),
      m_strVisitorIp(visitorIp),
      m_bDetailsKnown(bDetailsKnown) {
  BuildWindow();
  connect(&m_pollTimer, &QTimer::timeout, this, &CChatDlg::PollMessages);
  connect(m_pTranscript, &CChatRichEd::OtherSideWrote, m_pStatusLine, &QLabel::clear);
  connect(m_pTranscript, &CChatRichEd::VisitorJoined, this, &CChatDlg::RequestNameAndEmail);
  connect(m_pEntry, &QPlainTextEdit::textChanged, this, &CChatDlg::NotifyTyping);
  connect(m_pSpellCheck, &QCheckBox::toggled, m_pEntry, &CMySpellEditCtrl::SetSpellCheck);
}

CChatDlg::~CChatDlg() = default;

bool CChatDlg::OnInitDialog() {
  m_pTranscript->SetOwnLoginId(m_engine.Session().loginId);
  m_pollTimer.start(m_engine.Session().chatPeriodMs);
  m_engine.RequestCannedMessages(this, [this](const QString& reply) { HandleServerReply(REQ_CANNED_LISTS, reply); });
  if (!m_bDetailsKnown) Request(m_engine.Catalogue().VisitorDetails(m_strChatId), REQ_VISITOR_DETAILS);
  UpdateCaption();
  m_pSpellCheck->setChecked(IsSpellCheckEnabled());
  m_pEntry->SetSpellCheck(m_pSpellCheck->isChecked());
  m_pPadlock->setVisible(m_engine.Session().secure);
  m_pEntry->setFocus();
  return true;
}

void CChatDlg::UpdateCaption() {
  setWindowTitle(QStringLiteral("Chatting with:") + (m_strVisitorName.isEmpty() ? m_strVisitorIp : m_strVisitorName));
}

void CChatDlg::SetVisitorDetails(const VisitorDetails& details) { m_pDetails->ShowDetails(details); }

void CChatDlg::PollMessages() {
  SendPoll(m_engine.Catalogue().PollChat(m_strChatId, m_strVisitorIp, LastNumber()), REQ_POLL_CHAT);
  RefreshOperatorCombo();
  m_pElapsed->setText(ElapsedText());
}

void CChatDlg::RefreshOperatorCombo() {
  IChatConsole* console = Console();
  if (console == nullptr) return;
  RefillOperatorBox(m_pOperators, console->OperatorTexts(), m_engine.Session().loginId);
  console->AnnounceOnline();
}

QString CChatDlg::SendLineRequest(const QString& text) const {
  return m_engine.Catalogue().SendLine(text, m_strChatId);
}

int CChatDlg::SendLineType() const { return REQ_SEND_LINE; }

void CChatDlg::NotifyTyping() {
  const int length = m_pEntry->toPlainText().size();
  if (length > 0 && length % 6 == 0) Request(m_engine.Catalogue().OperatorTyping(m_strChatId), REQ_TYPING_NOTICE);
}

void CChatDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing() || m_bClosing) return;
  switch (nType) {
    case REQ_POLL_CHAT:
      PollAnswered();
      OnPollReply(ChatPollReply::Parse(strReply));
      break;
    case REQ_END_CHAT:
      if (strReply == QStringLiteral("true")) CloseChatWindow();
      break;
    case REQ_VISITOR_DETAILS:
      OnDetailsReply(strReply);
      break;
    case REQ_NAME_AND_EMAIL:
      OnNameReply(strReply);
      break;
    case REQ_CANNED_LISTS:
      ParseCannedLists(strReply);
      break;
    case REQ_TRANSFER_CHAT:
      OnTransferReply(strReply);
      break;
    default:
      break;
  }
}

void CChatDlg::OnPollReply(const ChatPollReply& reply) {
  if (reply.hasTypingFlag) m_pStatusLine->setText(reply.visitorTyping ? kVisitorTyping : QString());
  if (!AppendNewLines(reply) && reply.IsClosingNotice(ChatPollReply::kClosedByUser)) {
    AppendTranscriptLine(ChatPollReply::kClosedByUser);
    m_pollTimer.stop();
  }
  if (reply.sound == QStringLiteral("sound4")) PlayEventSound(EVENT_NEW_CHAT_LINE);
}

void CChatDlg::OnDetailsReply(const QString& reply) {
  VisitorDetails details;
  if (!VisitorDetails::FromReplyPieces(SplitReply(reply, kSepField), details)) return;
  SetVisitorDetails(details);
  if (IChatConsole* console = Console()) console->CacheDetails(details, m_strChatId);
  m_bDetailsKnown = true;
}

void CChatDlg::RequestNameAndEmail() {
  if (m_strVisitorName.isEmpty() && m_strVisitorEmail.isEmpty())
    Request(m_engine.Catalogue().NameAndEmail(m_strChatId), REQ_NAME_AND_EMAIL);
}

void CChatDlg::OnNameReply(const QString& reply) {
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != 2) return;
  m_strVisitorName = pieces[0];
  m_strVisitorEmail = pieces[1];
  UpdateCaption();
}

void CChatDlg::AppendTranscriptLine(const QString& text) { m_pTranscript->AppendTranscriptLine(text); }

void CChatDlg::InsertTranscriptBitmap(int bitmapId) { m_pTranscript->InsertTranscriptBitmap(bitmapId); }

void CChatDlg::EndChat() {
  m_pollTimer.stop();
  Request(m_engine.Catalogue().Action(QStringLiteral("endchatcl"), m_strChatId), REQ_END_CHAT);
}

void CChatDlg::OpenEmoticonPicker() { CEmotionsDlg::Open(m_pEmoticons, m_pEntry); }

IChatConsole* CChatDlg::Console() const { return m_pConsoleObject.isNull() ? nullptr : m_pConsole; }

void CChatDlg::reject() { CloseChatWindow(); }

bool CChatDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == m_pFilter && FilterKey(key)) || (watched == m_pTools && TreeKey(key))) return true;
  }
  return CChatWindowBase::eventFilter(watched, event);
}
