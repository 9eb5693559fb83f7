#include "ChatDlg.h"

#include "ConsoleSession.h"
#include "DictionaryLanguages.h"
#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "DesktopServices.h"
#include "FooButton.h"
#include "EmotionsDlg.h"
#include "IconButton.h"
#include "MySpellEditCtrl.h"
#include "OperatorBox.h"
#include "OperatorList.h"
#include "OutsideText.h"
#include "Presence.h"
#include "Preferences.h"
#include "RequestTypes.h"
#include "Separators.h"
#include "ShortReplies.h"
#include "VisitorDetails.h"
#include "VisitorDtlsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

const QString kVisitorTyping = QStringLiteral("Visitor is Typing");
const QString kTalvero = QStringLiteral("Talvero");

}  // namespace

CChatDlg::CChatDlg(CChatManager& engine, CConsoleSession* session, const QString& visitorIp, const QString& chatId,
                   const QString& visitorName, const QString& visitorEmail, bool bDetailsKnown)
    : CChatWindowBase(engine),
      m_pSession(session),
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
  WatchSpellBox(m_pSpellCheck);
}

CChatDlg::~CChatDlg() = default;

bool CChatDlg::OnInitDialog() {
  m_pTranscript->SetOwnLoginId(m_engine.Session().loginId);
  m_pollTimer.start(m_engine.Session().chatPeriodMs);
  m_engine.RequestCannedMessages(this, UnlessClosing([this](const QString& reply) { ParseCannedLists(reply); }));
  if (!m_bDetailsKnown)
    Request(m_engine.Catalogue().VisitorDetails(m_strChatId), REQ_VISITOR_DETAILS,
            [this](const QString& reply) { OnDetailsReply(VisitorDetails::Parse(reply)); });
  UpdateCaption();
  m_pSpellCheck->setChecked(IsSpellCheckEnabled());
  m_pPadlock->setVisible(m_engine.Session().secure);
  m_pEntry->setFocus();
  return true;
}

void CChatDlg::UpdateCaption() {
  QString caption =
      QStringLiteral("Chatting with:") + DisplayedField(m_strVisitorName.isEmpty() ? m_strVisitorIp : m_strVisitorName);
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

void CChatDlg::PollMessages() {
  if (m_bEnded) return;  // a tick queued before the chat ended
  SendPoll(m_engine.Catalogue().PollChat(m_strChatId, m_strVisitorIp, LastNumber()), REQ_POLL_CHAT,
           [this](const QString& reply) { OnPollReply(ChatPollReply::Parse(reply)); });
  RefreshOperatorCombo();
  m_pElapsed->setText(ElapsedText());
}

void CChatDlg::RefreshOperatorCombo() {
  if (m_pSession.isNull()) return;
  // Nobody is chosen for the operator: a transfer goes where he picked.
  RefillOperatorBox(m_pOperators, m_pSession->Operators().Entries(), m_engine.Session().loginId,
                    OperatorBoxStart::Empty);
  m_pSession->Presence().Announce();
}

QString CChatDlg::SendLineRequest(const QString& text) const {
  return m_engine.Catalogue().SendLine(text, m_strChatId);
}

int CChatDlg::SendLineType() const { return REQ_SEND_LINE; }

void CChatDlg::NotifyTyping() {
  const int length = m_pEntry->toPlainText().size();
  if (length > 0 && length % 6 == 0)
    Request(m_engine.Catalogue().OperatorTyping(m_strChatId), REQ_TYPING_NOTICE, {});
}

// A transfer's reply is not among them: it means nothing without the
// operator its request was for.
void CChatDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing() || m_bClosing) return;
  switch (nType) {
    case REQ_POLL_CHAT: OnPollReply(ChatPollReply::Parse(strReply)); break;
    case REQ_END_CHAT: OnEndChatReply(strReply); break;
    case REQ_VISITOR_DETAILS: OnDetailsReply(VisitorDetails::Parse(strReply)); break;
    case REQ_NAME_AND_EMAIL: OnNameReply(VisitorNameReply::Parse(strReply)); break;
    case REQ_CANNED_LISTS: ParseCannedLists(strReply); break;
    default: break;
  }
}

void CChatDlg::OnPollReply(const ChatPollReply& reply) {
  if (m_bEnded) return;  // a poll answered after the chat ended
  if (reply.hasTypingFlag) m_pStatusLine->setText(reply.visitorTyping ? kVisitorTyping : QString());
  if (!AppendNewLines(reply)) {
    if (reply.IsClosingNotice(ChatPollReply::kClosedByUser)) {
      AppendTranscriptLine(ChatPollReply::kClosedByUser);
      MarkEnded(QStringLiteral("(chat ended)"), QStringLiteral("The visitor has left: the chat has ended."));
    } else if (reply.IsClosingNotice(ChatPollReply::kClosedByOperator)) {
      // Ended at the service, by a Close Chat whose answer was lost or by
      // another operator: without this the chat would still look live.
      AppendTranscriptLine(ChatPollReply::kClosedByOperator);
      MarkEnded(QStringLiteral("(chat ended)"), QStringLiteral("The chat has ended."));
    }
  }
  if (reply.RingsNewLine()) emit SoundRung(reply.sound);
}

void CChatDlg::OnDetailsReply(const VisitorDetails& details) {
  if (!details.wellFormed) return;
  SetVisitorDetails(details);
  if (!m_pSession.isNull()) m_pSession->CacheDetails(details, m_strChatId);
  m_bDetailsKnown = true;
}

void CChatDlg::RequestNameAndEmail() {
  if (m_strVisitorName.isEmpty() && m_strVisitorEmail.isEmpty())
    Request(m_engine.Catalogue().NameAndEmail(m_strChatId), REQ_NAME_AND_EMAIL,
            [this](const QString& reply) { OnNameReply(VisitorNameReply::Parse(reply)); });
}

void CChatDlg::OnNameReply(const VisitorNameReply& reply) {
  if (!reply.wellFormed) return;
  m_strVisitorName = reply.name;
  m_strVisitorEmail = reply.email;
  UpdateCaption();
}

void CChatDlg::AppendTranscriptLine(const QString& text) { m_pTranscript->AppendTranscriptLine(text); }

// Polling goes on until the service confirms the end: stopping it at once
// froze a chat that still ran when the request was refused or lost.
void CChatDlg::EndChat() {
  // A chat that left this window (the visitor gone, a transfer) has nothing
  // to end at the service: Close Chat closes the window.
  if (m_bEnded) {
    CloseChatWindow();
    return;
  }
  m_pCloseChat->setEnabled(false);  // one request out at a time
  Request(m_engine.Catalogue().Action(QStringLiteral("endchatcl"), m_strChatId), REQ_END_CHAT,
          [this](const QString& reply) { OnEndChatReply(reply); });
}

void CChatDlg::OnEndChatReply(const QString& reply) {
  if (IsConfirmed(reply)) {
    CloseChatWindow();
    return;
  }
  m_pCloseChat->setEnabled(true);
  const QString text = reply == kDisconnect
                           ? QStringLiteral("The chat was not ended: the service did not answer. Press Close Chat to try again.")
                           : QStringLiteral("The service did not end the chat. Press Close Chat to try again.");
  m_pStatusLine->setText(text);
  TellOperator(text);
}

void CChatDlg::MarkEnded(const QString& captionNote, const QString& status) {
  m_bEnded = true;
  m_pollTimer.stop();
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
  if (!m_bEnded && !m_bClosing && !m_engine.IsClosing()) {
    const QString who = m_strVisitorName.isEmpty() ? m_strVisitorIp : m_strVisitorName;
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

bool CChatDlg::SettleOpenChats(QWidget* console, CChatManager& engine, const QList<QWidget*>& windows, int waitMs) {
  // The box runs the event loop, where a chat may end or close: each is
  // looked at again after it.
  QList<QPointer<CChatDlg>> chats;
  for (QWidget* window : windows)
    if (auto* chat = qobject_cast<CChatDlg*>(window)) chats.append(chat);
  auto live = [&chats] {
    QList<CChatDlg*> open;
    for (const QPointer<CChatDlg>& chat : chats)
      if (!chat.isNull() && chat->IsChatLive() && !chat->m_bClosing) open.append(chat);
    return open;
  };
  const qsizetype count = live().size();
  if (count == 0) return true;
  const QString text =
      count == 1 ? QStringLiteral("A chat is still open. End it before the console closes?\n\nYes ends it, as Close "
                                  "Chat does. No leaves it open at the service, with the visitor waiting. Cancel keeps "
                                  "the console open.")
                 : QStringLiteral("%1 chats are still open. End them before the console closes?\n\nYes ends them, as "
                                  "Close Chat does. No leaves them open at the service, with the visitors waiting. "
                                  "Cancel keeps the console open.")
                       .arg(count);
  const CDesktopServices::Answer answer = CDesktopServices::Get().MessageBox(
      console, text, kTalvero, CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNoCancel);
  if (answer == CDesktopServices::Answer::Cancel) return false;
  if (answer != CDesktopServices::Answer::Yes) return true;
  // The session ends right after: each request is awaited, within one
  // time for all, so a dead service holds the operator no longer.
  // By chat id, not window: a window may go while a request is awaited.
  QStringList ids;
  for (const CChatDlg* chat : live()) ids.append(chat->m_strChatId);
  const QDeadlineTimer deadline(waitMs);
  for (const QString& id : ids) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) break;
    QString reply;
    engine.RequestSync(engine.Catalogue().Action(QStringLiteral("endchatcl"), id), reply, int(left));
  }
  return true;
}

bool CChatDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == m_pFilter && FilterKey(key)) || (watched == m_pTools && TreeKey(key))) return true;
  }
  return CChatWindowBase::eventFilter(watched, event);
}
