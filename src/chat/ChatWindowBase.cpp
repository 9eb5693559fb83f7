#include "ChatWindowBase.h"

#include "AppIdentity.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "FooButton.h"
#include "MySpellEditCtrl.h"
#include "Preferences.h"
#include "ResourceArt.h"
#include "ResourceIds.h"
#include "Shortcuts.h"
#include "ThemeColours.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>

namespace {

const Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                     Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                     Qt::WindowCloseButtonHint;

}  // namespace

CChatWindowBase::CChatWindowBase(CChatSession& session) : QDialog(nullptr), m_pChat(&session) {}

void CChatWindowBase::WatchEntryBox(CMySpellEditCtrl* entry) {
  m_pEntryBox = entry;
  entry->setAccessibleName(QStringLiteral("Message"));
  // A tab character means nothing in a chat line: Tab and Shift+Tab move
  // the keyboard on, so every control is reached without the mouse (the
  // "/" list takes its Tab before the box sees it).
  entry->setTabChangesFocus(true);
  entry->installEventFilter(this);
}

void CChatWindowBase::Bind(CChatRichEd* transcript) {
  m_pLinesView = transcript;
  CMySpellEditCtrl* entry = m_pEntryBox;
  CChatSession* session = m_pChat;
  DrawLines(session->Lines());
  connect(session, &CChatSession::LinesArrived, this, &CChatWindowBase::DrawLines);
  connect(session, &CChatSession::LineRefused, entry, &CMySpellEditCtrl::PutBackLine);
  connect(session, &CChatSession::TypingChanged, this, &CChatWindowBase::ShowTyping);
  connect(session, &CChatSession::Ended, this, &CChatWindowBase::OnEnded);
  connect(session, &CChatSession::Ticked, this, [this] { m_pElapsed->setText(ElapsedText()); });
  connect(entry, &QPlainTextEdit::textChanged, this, [this] {
    if (m_pChat) m_pChat->NotifyTyping(int(m_pEntryBox->toPlainText().size()));
  });
  m_pPadlock->setVisible(session->IsSecure());
}

void CChatWindowBase::DrawLines(const QList<TranscriptLine>& lines) {
  for (const TranscriptLine& line : lines) {
    m_pLinesView->AppendLine(line);
    if (line.speaker != TranscriptLine::Speaker::Other) continue;
    OnOtherSideWrote();
    // A tab not shown wants the eye as much as a window in the background.
    if (!isActiveWindow() || !isVisible()) emit AttentionWanted();
  }
}

void CChatWindowBase::SendChatLine() {
  // A chat that has ended takes no more lines; its box is read-only.
  if (m_pChat.isNull() || m_pEntryBox->isReadOnly()) return;
  // The box is free for the next line at once; this one comes back if the
  // service does not take it.
  if (m_pChat->Send(m_pEntryBox->toPlainText())) m_pEntryBox->ClearText();
  m_pEntryBox->setFocus();
}

void CChatWindowBase::BringForward() {
  if (isWindow())
    CWindowArrival::ShowInFront(this);
  else
    emit ForwardWanted();
  if (m_pEntryBox) m_pEntryBox->setFocus(Qt::ActiveWindowFocusReason);
}

QString CChatWindowBase::ElapsedText() const {
  return m_pChat ? ChatElapsedText(m_pChat->ElapsedSeconds()) : m_pElapsed->text();
}

FooButton* CChatWindowBase::PushButton(const QString& text, QWidget* parent) {
  auto* b = new FooButton(text, parent);
  b->SetFocusStyle(FooButton::FocusRect);
  b->setAutoDefault(false);
  return b;
}

void CChatWindowBase::SetUpWindow(const QSize& size) {
  setWindowIcon(AppIcon());
  setWindowFlags(kWindowFlags);
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
  // Closing the window (or the tab) asks first, as its close box does.
  connect(CShortcuts::Instance().AddKey(this, QStringLiteral("CloseTab")), &QShortcut::activated, this,
          [this] { reject(); });
}

bool CChatWindowBase::IsOpenView(const QObject* view) {
  if (const auto* chat = qobject_cast<const CChatWindowBase*>(view)) return chat->IsOpen();
  const auto* widget = qobject_cast<const QWidget*>(view);
  return widget != nullptr && widget->isVisible();
}

void CChatWindowBase::BecomeWindow() {
  hide();
  setParent(nullptr, kWindowFlags);
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
  if (m_pChat) m_pChat->AddNotice(text);
}

void CChatWindowBase::CloseChatWindow() {
  if (m_bClosing) return;
  m_bClosing = true;
  if (m_pEntryBox) m_pEntryBox->FreeDictionary();
  if (m_pChat) m_pChat->Close();
  emit Closing();
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
