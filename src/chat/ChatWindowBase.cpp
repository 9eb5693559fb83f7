#include "ChatWindowBase.h"

#include "ChatManager.h"
#include "AppIdentity.h"
#include "ChatPollReply.h"
#include "FooButton.h"
#include "MySpellEditCtrl.h"
#include "Preferences.h"
#include "ResourceArt.h"
#include "ResourceIds.h"
#include "Separators.h"
#include "ThemeColours.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace {

// What the service answers when it refuses a line: the chat takes no more.
// The failure marker stands for every request that got no answer (the
// network, a time-out, an error status); any other answer means the line
// was stored, since services answer a stored line in more than one way.
const QString kLineRefused = QStringLiteral("false");
const QString kNotSent = QStringLiteral(
    "Notice: the service did not confirm your line, so it may not have reached the chat. "
    "It is back in the entry box to send again.\r\n");

}  // namespace

CChatWindowBase::CChatWindowBase(CChatManager& engine) : QDialog(nullptr), m_engine(engine) { m_started.start(); }

CChatWindowBase::ReplyHandler CChatWindowBase::UnlessClosing(ReplyHandler onReply) {
  if (!onReply) return {};
  return [this, onReply = std::move(onReply)](const QString& reply) {
    if (!m_bClosing) onReply(reply);
  };
}

void CChatWindowBase::Request(const QString& url, int nType, ReplyHandler onReply) {
  m_engine.RequestAsync(url, nType, this, UnlessClosing(std::move(onReply)));
}

void CChatWindowBase::SendPoll(const QString& url, int nType, ReplyHandler onReply) {
  if (m_bPollOut) return;
  m_bPollOut = true;
  const quint64 poll = ++m_nPoll;
  Request(url, nType, [this, poll, onReply = std::move(onReply)](const QString& reply) {
    if (poll != m_nPoll) return;  // a newer poll went out after a catch-up
    m_bPollOut = false;
    onReply(reply);
  });
}

void CChatWindowBase::CatchUp() {
  if (m_bClosing || !m_pollTimer.isActive()) return;
  ++m_nPoll;
  m_bPollOut = false;
  PollMessages();
  m_pollTimer.start();  // the next tick a whole period from now
}

bool CChatWindowBase::AppendNewLines(const ChatPollReply& reply) {
  if (reply.number.isEmpty() || reply.number == m_strLastNum) return false;
  const QString& ownId = m_engine.Session().loginId;
  for (const QString& line : reply.lines) {
    AppendTranscriptLine(line + QStringLiteral("\r\n"));
    if (!isActiveWindow() && !IsOwnLine(line, ownId)) emit AttentionWanted();
  }
  m_strLastNum = reply.number;
  return true;
}

void CChatWindowBase::SendChatLine() {
  // A chat that has ended takes no more lines; its box is read-only.
  if (m_pEntryBox->isReadOnly()) return;
  const QString line = m_pEntryBox->toPlainText();
  if (line.trimmed().isEmpty()) return;
  // The box is free for the next line at once; this one comes back if the
  // service does not take it.
  m_pEntryBox->ClearText();
  Request(SendLineRequest(line), SendLineType(), [this, line](const QString& reply) { OnLineReply(line, reply); });
  m_pEntryBox->setFocus();
}

void CChatWindowBase::BringForward() {
  CWindowArrival::ShowInFront(this);
  if (m_pEntryBox) m_pEntryBox->setFocus(Qt::ActiveWindowFocusReason);
}

void CChatWindowBase::OnLineReply(const QString& line, const QString& reply) {
  if (reply != kDisconnect && reply != kLineRefused) {
    m_bToldNotSent = false;
    return;
  }
  m_pEntryBox->PutBackLine(line);
  // Once until a line gets through, and in the transcript: a box would take
  // the keyboard from the operator typing in this window.
  if (m_bToldNotSent) return;
  m_bToldNotSent = true;
  AppendTranscriptLine(kNotSent);
}

QString CChatWindowBase::ElapsedText() const { return ChatElapsedText(m_started.elapsed() / 1000); }

FooButton* CChatWindowBase::PushButton(const QString& text, QWidget* parent) {
  auto* b = new FooButton(text, parent);
  b->SetFocusStyle(FooButton::FocusRect);
  b->setAutoDefault(false);
  return b;
}

void CChatWindowBase::SetUpWindow(const QSize& size) {
  setWindowIcon(AppIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  // A large font makes the template larger than a small screen: the
  // window then starts as large as the work area leaves room for (its
  // layout gives the transcript less).
  resize(size.boundedTo(CWindowPlacement::RoomOnScreen(this)));
  m_pElapsed = new QLabel(QStringLiteral("00:00:00"), this);
  ThemeColours::KeepTextColour(m_pElapsed, QColor(0, 0, 185));
  m_pPadlock = new QLabel(this);
  m_pPadlock->setPixmap(ResourceArt::Pixmap(ResourceArt::BitmapPath(IDB_PADLOCK)));
  m_pPadlock->setToolTip(QStringLiteral("Secure connection"));
  m_pPadlock->hide();
}

void CChatWindowBase::WatchEntryBox(CMySpellEditCtrl* entry) {
  m_pEntryBox = entry;
  entry->setAccessibleName(QStringLiteral("Message"));
  // A tab character means nothing in a chat line: Tab and Shift+Tab move
  // the keyboard on, so every control is reached without the mouse (the
  // "/" list takes its Tab before the box sees it).
  entry->setTabChangesFocus(true);
  entry->installEventFilter(this);
}

void CChatWindowBase::WatchSpellBox(QCheckBox* box) {
  connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
    m_pEntryBox->SetSpellCheck(on);
    const QString problem = on ? m_pEntryBox->SpellCheckProblem() : QString();
    box->setToolTip(problem);
    if (on && !m_pEntryBox->IsSpellCheckOn()) {
      const QSignalBlocker quiet(box);
      box->setChecked(false);
    }
    if (!problem.isEmpty()) TellOperator(problem);
  });
  // Spell checking changed in Preferences reaches the chats already open.
  connect(&CPreferences::Instance(), &CPreferences::SpellCheckChanged, box, &QCheckBox::setChecked);
}

void CChatWindowBase::TellOperator(const QString& text) {
  AppendTranscriptLine(QStringLiteral("Notice: ") + text + QStringLiteral("\r\n"));
}

void CChatWindowBase::CloseChatWindow() {
  if (m_bClosing) return;
  m_bClosing = true;
  if (m_pEntryBox) m_pEntryBox->FreeDictionary();
  m_pollTimer.stop();
  hide();
  deleteLater();
}

void CChatWindowBase::accept() {}

void CChatWindowBase::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (event->key() == Qt::Key_Escape && m_pEntryBox) m_pEntryBox->ClearText();
    event->accept();  // neither key closes the window
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CChatWindowBase::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pEntryBox && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
      SendChatLine();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
