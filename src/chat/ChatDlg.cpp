#include "ChatDlg.h"

#include "ChatConsole.h"
#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "DesktopServices.h"
#include "EmotionsDlg.h"
#include "EventSound.h"
#include "IconButton.h"
#include "MySpellEditCtrl.h"
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

namespace {

const QString kVisitorTyping = QStringLiteral("Visitor is Typing");

}  // namespace

CChatDlg::CChatDlg(CChatManager& engine, IChatConsole* console, const QString& visitorIp, const QString& chatId,
                   const QString& visitorName, const QString& visitorEmail, bool bDetailsKnown)
    : QDialog(nullptr),
      m_engine(engine),
      m_pConsoleObject(dynamic_cast<QObject*>(console)),
      m_pConsole(console),
      m_strChatId(chatId),
      m_strVisitorName(visitorName),
      m_strVisitorEmail(visitorEmail),
      m_strVisitorIp(visitorIp),
      m_bDetailsKnown(bDetailsKnown) {
  m_started.start();
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

void CChatDlg::Request(const QString& url, int nType) {
  m_engine.RequestAsync(url, nType, this, [this, nType](const QString& reply) { HandleServerReply(nType, reply); });
}

void CChatDlg::UpdateCaption() {
  setWindowTitle(QStringLiteral("Chatting with:") + (m_strVisitorName.isEmpty() ? m_strVisitorIp : m_strVisitorName));
}

void CChatDlg::SetVisitorDetails(const VisitorDetails& details) { m_pDetails->ShowDetails(details); }

void CChatDlg::PollMessages() {
  // A slow service must not get a second poll before the first is answered:
  // the replies would overtake each other.
  if (!m_bPollOut) {
    m_bPollOut = true;
    Request(m_engine.Catalogue().PollChat(m_strChatId, m_strVisitorIp, m_strLastNum), REQ_POLL_CHAT);
  }
  RefreshOperatorCombo();
  m_pElapsed->setText(ChatElapsedText(m_started.elapsed() / 1000));
}

void CChatDlg::RefreshOperatorCombo() {
  IChatConsole* console = Console();
  if (console == nullptr) return;
  const QString chosen = m_pOperators->currentText();
  const int selected = m_pOperators->currentIndex();
  m_pOperators->clear();
  for (const QString& text : console->OperatorTexts()) {
    if (text.section(u' ', 0, 0).compare(m_engine.Session().loginId, Qt::CaseInsensitive) != 0)
      m_pOperators->addItem(text);
  }
  // The operator chosen for a transfer stays chosen by name.
  int index = m_pOperators->findText(chosen);
  if (index < 0) index = selected >= 0 && selected < m_pOperators->count() ? selected : 0;
  m_pOperators->setCurrentIndex(index);
  console->AnnounceOnline();
}

void CChatDlg::SendChatLine() {
  const QString text = m_pEntry->toPlainText();
  m_pEntry->clear();
  Request(m_engine.Catalogue().SendLine(text, m_strChatId), REQ_SEND_LINE);
  m_pEntry->setFocus();
}

void CChatDlg::NotifyTyping() {
  const int length = m_pEntry->toPlainText().size();
  if (length > 0 && length % 6 == 0) Request(m_engine.Catalogue().OperatorTyping(m_strChatId), REQ_TYPING_NOTICE);
}

void CChatDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing() || m_bClosing) return;
  switch (nType) {
    case REQ_POLL_CHAT:
      m_bPollOut = false;
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
  if (!reply.number.isEmpty() && reply.number != m_strLastNum) {
    const QString ownId = m_engine.Session().loginId.toLower();
    for (const QString& line : reply.lines) {
      AppendTranscriptLine(line + QStringLiteral("\r\n"));
      if (!isActiveWindow() && !line.toLower().startsWith(ownId)) CDesktopServices::Get().FlashWindow(this);
    }
    m_strLastNum = reply.number;
  } else if (reply.IsClosingNotice(ChatPollReply::kClosedByUser)) {
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

void CChatDlg::CloseChatWindow() {
  if (m_bClosing) return;
  m_bClosing = true;
  m_pEntry->FreeDictionary();
  m_pollTimer.stop();
  // Freed once the event loop runs, after the handler that closed it; the
  // console's list lets go of it then.
  hide();
  deleteLater();
}

void CChatDlg::OpenEmoticonPicker() { CEmotionsDlg::Open(m_pEmoticons, m_pEntry); }

IChatConsole* CChatDlg::Console() const { return m_pConsoleObject.isNull() ? nullptr : m_pConsole; }

void CChatDlg::accept() {}

void CChatDlg::reject() { CloseChatWindow(); }

void CChatDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    m_pEntry->clear();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();  // Enter never closes the window
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CChatDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pFilter && event->type() == QEvent::KeyPress && FilterKey(static_cast<QKeyEvent*>(event)))
    return true;
  // Enter in the entry box sends; Shift+Enter keeps a line break for the operator.
  if (watched == m_pEntry && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
      SendChatLine();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
