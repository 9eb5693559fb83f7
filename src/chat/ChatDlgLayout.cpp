// The chat window's controls and their places. The first size is the
// template's; the transcript and the entry box take what the window grows by.
#include "ChatDlg.h"

#include "ChatRichEd.h"
#include "WindowUnits.h"
#include "FooButton.h"
#include "IconButton.h"
#include "MySpellEditCtrl.h"
#include "ResponseCompleter.h"
#include "Shortcuts.h"
#include "VisitorDtlsDlg.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

CIconButton* IconButton(const QString& text, int iconId, int size, QWidget* parent) {
  auto* b = new CIconButton(text, parent);
  b->SetIconId(iconId);
  b->SetIconSize(size, size);
  b->setAutoDefault(false);
  // Room for the icon beside the text.
  b->setMinimumWidth(b->fontMetrics().horizontalAdvance(text) + size + 24);
  return b;
}

}  // namespace

void CChatDlg::FitDetails() { m_pDetails->setVisible(height() >= m_nLeastWithDetails); }

void CChatDlg::resizeEvent(QResizeEvent* event) {
  CChatWindowBase::resizeEvent(event);
  FitDetails();
}

void CChatDlg::BuildWindow() {
  const CWindowUnits du = CWindowUnits::Of(this);
  SetUpWindow(du.Size(458, 378));
  setMinimumSize(du.Pixels(QSize(640, 520)).boundedTo(CWindowPlacement::RoomOnScreen(this)));

  // Top row: elapsed time, padlock, the other operators, transfer and history.
  auto* operatorsLabel = new QLabel(QStringLiteral("Online Operator(s):"), this);
  m_pOperators = new QComboBox(this);
  m_pOperators->setMinimumWidth(du.PixelsX(180));
  operatorsLabel->setBuddy(m_pOperators);
  m_pTransfer = PushButton(QStringLiteral("&Chat Transfer"), this);
  m_pHistory = PushButton(QStringLiteral("Chat &History"), this);
  m_pEarlier = PushButton(QStringLiteral("&Earlier chats here"), this);
  m_pEarlier->setEnabled(false);  // until an archive is at hand
  auto* top = new QHBoxLayout;
  top->addWidget(m_pElapsed);
  top->addWidget(m_pPadlock);
  top->addStretch(1);
  top->addWidget(operatorsLabel);
  top->addWidget(m_pOperators);
  top->addWidget(m_pTransfer);
  top->addWidget(m_pHistory);
  top->addWidget(m_pEarlier);

  m_pDetails = new CVisitorDtlsDlg(this);
  // As tall as its texts need, never more than the template's 200 pixels:
  // the transcript takes what the window adds.
  m_pDetails->setMaximumHeight(du.PixelsY(200));
  m_pDetails->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

  // The transcript and the entry box, with the tool column beside them.
  m_pTranscript = new CChatRichEd(this);
  m_pEntry = new CMySpellEditCtrl(this);
  m_pEntry->setFixedHeight(du.Y(40));
  WatchEntryBox(m_pEntry);
  m_pCompleter = new CResponseCompleter(m_pEntry);  // after the window's filter: its keys come first
  m_pStatusLine = new QLabel(this);
  m_pStatusLine->setTextFormat(Qt::PlainText);
  m_pSend = PushButton(QStringLiteral("&Send"), this);
  m_pCloseChat = PushButton(QStringLiteral("Close Chat"), this);
  // Alt+H belongs to Chat History: "Spell C&heck" used to share it.
  m_pSpellCheck = new QCheckBox(QStringLiteral("Spell Chec&k"), this);
  m_pEmoticons = IconButton(QStringLiteral("Emoticons"), 303, 16, this);
  m_pFileTransfer = IconButton(QStringLiteral("File Transfer"), 304, 17, this);

  m_pResponses = PushButton(QStringLiteral("Responses"), this);
  m_pPushUrls = PushButton(QStringLiteral("Push URLs"), this);
  for (FooButton* b : {m_pResponses, m_pPushUrls}) {
    b->SetType(FooButton::CheckPushButton);
    b->SetTextStyle(FooButton::SingleLineCentre);
    b->SetGradient(true);
    b->SetGroup(QStringLiteral("2"));
  }
  m_pResponses->Check(true);
  m_pResponses->SetBitmap(299);
  m_pTools = new QTreeWidget(this);
  m_pTools->setHeaderHidden(true);
  m_pTools->setAccessibleName(QStringLiteral("Responses and push URLs"));
  m_pTools->setRootIsDecorated(true);
  m_pTools->installEventFilter(this);
  m_pFilter = new QLineEdit(this);
  m_pFilter->setPlaceholderText(QStringLiteral("Find a response"));
  m_pFilter->setAccessibleName(QStringLiteral("Find a response"));
  m_pFilter->setClearButtonEnabled(true);
  m_pFilter->installEventFilter(this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_pSpellCheck);
  buttons->addWidget(m_pEmoticons);
  buttons->addStretch(1);
  buttons->addWidget(m_pSend);
  buttons->addWidget(m_pCloseChat);
  auto* talk = new QVBoxLayout;
  talk->addWidget(m_pTranscript, 1);
  talk->addWidget(m_pEntry);
  talk->addWidget(m_pStatusLine);
  talk->addLayout(buttons);

  auto* toggles = new QHBoxLayout;
  toggles->addWidget(m_pResponses);
  toggles->addWidget(m_pPushUrls);
  auto* tools = new QVBoxLayout;
  tools->addLayout(toggles);
  tools->addWidget(m_pFilter);
  tools->addWidget(m_pTools, 1);
  tools->addWidget(m_pFileTransfer);

  auto* middle = new QHBoxLayout;
  middle->addLayout(talk, 3);
  middle->addLayout(tools, 1);

  auto* window = new QVBoxLayout(this);
  window->addLayout(top);
  window->addWidget(m_pDetails);
  window->addLayout(middle, 1);
  // Kept to the screen, but never below what the controls need; on a
  // screen too short for them all the details collapse (FitDetails).
  m_nLeastWithDetails = window->totalMinimumSize().height();
  m_pDetails->hide();
  setMinimumSize(minimumSize().expandedTo(window->totalMinimumSize()));
  resize(size().expandedTo(minimumSize()));
  FitDetails();

  connect(m_pSend, &QPushButton::clicked, this, &CChatDlg::SendChatLine);
  connect(m_pCloseChat, &QPushButton::clicked, this, &CChatDlg::EndChat);
  connect(m_pEmoticons, &QPushButton::clicked, this, &CChatDlg::OpenEmoticonPicker);
  connect(m_pResponses, &QPushButton::clicked, this, &CChatDlg::ShowResponses);
  connect(m_pPushUrls, &QPushButton::clicked, this, &CChatDlg::ShowPushUrls);
  connect(m_pTools, &QTreeWidget::itemClicked, this, &CChatDlg::PickTreeItem);
  // The second press of a double-click gives the tree the keyboard again,
  // after the first click's pick: the caret goes back behind what it put in.
  connect(m_pTools, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item->childCount() == 0 && !m_pEntry->isReadOnly()) m_pEntry->setFocus(Qt::MouseFocusReason);
  });
  connect(m_pFilter, &QLineEdit::textChanged, this, &CChatDlg::FillToolTree);
  connect(m_pTransfer, &QPushButton::clicked, this, &CChatDlg::TransferChat);
  connect(m_pHistory, &QPushButton::clicked, this, &CChatDlg::ShowChatHistory);
  connect(m_pEarlier, &QPushButton::clicked, this, &CChatDlg::ShowEarlierChats);
  connect(m_pFileTransfer, &QPushButton::clicked, this, &CChatDlg::OpenFileTransfer);

  // The commands' keys, where the operator gave them one.
  const std::pair<const char*, QAbstractButton*> keys[] = {
      {"ChatTransfer", m_pTransfer}, {"CloseChat", m_pCloseChat}, {"Responses", m_pResponses},
      {"PushUrls", m_pPushUrls},     {"Emoticons", m_pEmoticons}, {"SpellCheck", m_pSpellCheck}};
  for (const auto& [command, button] : keys)
    CShortcuts::Instance().AddButtonKey(this, QString::fromLatin1(command), button);
}
