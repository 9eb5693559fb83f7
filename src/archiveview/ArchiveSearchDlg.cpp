#include "ArchiveSearchDlg.h"

#include "ArchiveHitDelegate.h"
#include "ChatArchive.h"
#include "DesktopServices.h"
#include "WindowPlacement.h"
#include "WindowUnits.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

const QString CArchiveSearchDlg::kPlacementName = QStringLiteral("ArchiveSearch");

namespace {

// A day box behind a tick box: the day counts only while it is ticked.
QDateEdit* DayBox(QCheckBox* on, QWidget* parent) {
  auto* box = new QDateEdit(QDate::currentDate(), parent);
  box->setCalendarPopup(true);
  box->setEnabled(false);
  box->setAccessibleName(on->text().remove(u'&'));
  QObject::connect(on, &QCheckBox::toggled, box, &QWidget::setEnabled);
  return box;
}

}  // namespace

CArchiveSearchDlg::CArchiveSearchDlg(CChatArchive& archive, QWidget* parent) : QDialog(parent), m_archive(archive) {
  setObjectName(QStringLiteral("archiveSearch"));
  setWindowTitle(QStringLiteral("Search the chat archive - Talvero"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

  m_pWords = new QLineEdit(this);
  m_pWords->setObjectName(QStringLiteral("words"));
  m_pWords->setClearButtonEnabled(true);
  m_pWords->setPlaceholderText(QStringLiteral("Words of a line"));
  auto* wordsLabel = new QLabel(QStringLiteral("&Words:"), this);
  wordsLabel->setBuddy(m_pWords);
  m_pVisitor = new QLineEdit(this);
  m_pVisitor->setObjectName(QStringLiteral("visitor"));
  m_pVisitor->setClearButtonEnabled(true);
  m_pVisitor->setPlaceholderText(QStringLiteral("Name or e-mail"));
  auto* visitorLabel = new QLabel(QStringLiteral("Vis&itor:"), this);
  visitorLabel->setBuddy(m_pVisitor);
  m_pFromOn = new QCheckBox(QStringLiteral("Fro&m"), this);
  m_pFrom = DayBox(m_pFromOn, this);
  m_pFrom->setObjectName(QStringLiteral("from"));
  m_pToOn = new QCheckBox(QStringLiteral("&To"), this);
  m_pTo = DayBox(m_pToOn, this);
  m_pTo->setObjectName(QStringLiteral("to"));
  m_pOperatorChats = new QCheckBox(QStringLiteral("O&perator chats only"), this);

  m_pResults = new QListWidget(this);
  m_pResults->setObjectName(QStringLiteral("results"));
  m_pResults->setAccessibleName(QStringLiteral("Chats found"));
  m_pResults->setItemDelegate(new CArchiveHitDelegate(m_pResults));
  m_pResults->setWordWrap(true);
  m_pResults->setResizeMode(QListView::Adjust);
  m_pResults->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_pResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_pResults->setAlternatingRowColors(true);
  auto* resultsLabel = new QLabel(QStringLiteral("&Chats found:"), this);
  resultsLabel->setBuddy(m_pResults);
  m_pStatus = new QLabel(this);
  m_pStatus->setTextFormat(Qt::PlainText);

  m_pOpen = new QPushButton(QStringLiteral("&Open"), this);
  m_pForget = new QPushButton(QStringLiteral("&Forget this visitor"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  for (QPushButton* b : {m_pOpen, m_pForget, close}) b->setAutoDefault(false);
  // Enter opens the chosen chat, whichever control has the keyboard.
  m_pOpen->setDefault(true);

  auto* filters = new QGridLayout;
  filters->addWidget(wordsLabel, 0, 0);
  filters->addWidget(m_pWords, 0, 1, 1, 4);
  filters->addWidget(visitorLabel, 1, 0);
  filters->addWidget(m_pVisitor, 1, 1, 1, 4);
  filters->addWidget(m_pFromOn, 2, 0);
  filters->addWidget(m_pFrom, 2, 1);
  filters->addWidget(m_pToOn, 2, 2);
  filters->addWidget(m_pTo, 2, 3);
  filters->addWidget(m_pOperatorChats, 2, 4);
  filters->setColumnStretch(4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_pStatus, 1);
  buttons->addWidget(m_pOpen);
  buttons->addWidget(m_pForget);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(resultsLabel);
  layout->addWidget(m_pResults, 1);
  layout->addLayout(buttons);

  const CWindowUnits du = CWindowUnits::Of(this);
  setMinimumSize(layout->totalMinimumSize().expandedTo(du.Size(240, 160)));
  resize(du.Size(380, 320).expandedTo(minimumSize()));
  if (!CWindowPlacement::Restore(this, kPlacementName)) CWindowPlacement::PlaceCascaded(this);

  for (QLineEdit* box : {m_pWords, m_pVisitor}) connect(box, &QLineEdit::textChanged, this, &CArchiveSearchDlg::Search);
  for (QCheckBox* box : {m_pFromOn, m_pToOn, m_pOperatorChats})
    connect(box, &QCheckBox::toggled, this, &CArchiveSearchDlg::Search);
  for (QDateEdit* box : {m_pFrom, m_pTo}) connect(box, &QDateEdit::dateChanged, this, &CArchiveSearchDlg::Search);
  connect(m_pResults, &QListWidget::currentRowChanged, this, &CArchiveSearchDlg::UpdateButtons);
  connect(m_pResults, &QListWidget::itemDoubleClicked, this, &CArchiveSearchDlg::OpenChosen);
  connect(m_pOpen, &QPushButton::clicked, this, &CArchiveSearchDlg::OpenChosen);
  connect(m_pForget, &QPushButton::clicked, this, &CArchiveSearchDlg::ForgetVisitor);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(&archive, &CChatArchive::ChatsRemoved, this, &CArchiveSearchDlg::Search);
  UpdateButtons();
  FocusWords();
  Search();
}

void CArchiveSearchDlg::FocusWords() {
  m_pWords->setFocus(Qt::OtherFocusReason);
  m_pWords->selectAll();
}

ArchiveQuery CArchiveSearchDlg::Query() const {
  ArchiveQuery query;
  query.words = m_pWords->text();
  query.visitor = m_pVisitor->text();
  if (m_pFromOn->isChecked()) query.from = m_pFrom->date();
  if (m_pToOn->isChecked()) query.to = m_pTo->date();
  query.operatorChatsOnly = m_pOperatorChats->isChecked();
  query.maxLinesPerChat = 5;
  return query;
}

void CArchiveSearchDlg::Search() {
  const quint64 asked = ++m_nAsked;
  const ArchiveQuery query = Query();
  m_archive.Search(query, this, [this, asked, words = query.words](const QList<ArchiveHit>& hits) {
    // The archive answers in order; an older answer never replaces a newer one.
    if (asked <= m_nAnswered) return;
    m_nAnswered = asked;
    m_strShownWords = words;
    ShowHits(hits);
  });
}

void CArchiveSearchDlg::ShowHits(const QList<ArchiveHit>& hits) {
  // The chosen chat stays chosen when it is found again.
  const int chosen = m_pResults->currentRow();
  const qint64 chosenId = chosen >= 0 && chosen < m_hits.size() ? m_hits[chosen].chat.id : 0;
  m_hits = hits;
  m_pResults->clear();
  int again = 0;
  for (int i = 0; i < hits.size(); ++i) {
    auto* item = new QListWidgetItem(CArchiveHitDelegate::PlainText(hits[i]), m_pResults);
    item->setData(CArchiveHitDelegate::kRichTextRole, CArchiveHitDelegate::RichText(hits[i]));
    if (hits[i].chat.id == chosenId) again = i;
  }
  if (!hits.isEmpty()) m_pResults->setCurrentRow(again);
  if (m_archive.HasFailed())
    m_pStatus->setText(QStringLiteral("The archive is not available."));
  else if (hits.isEmpty())
    m_pStatus->setText(QStringLiteral("No chat found."));
  else if (hits.size() == Query().maxChats)
    m_pStatus->setText(QStringLiteral("The newest %1 chats").arg(hits.size()));
  else
    m_pStatus->setText(hits.size() == 1 ? QStringLiteral("1 chat") : QStringLiteral("%1 chats").arg(hits.size()));
  UpdateButtons();
  if (m_nAnswered != m_nAsked) return;  // a newer search is still out
  emit ResultsShown();
  if (m_bOpenWhenFound) {
    m_bOpenWhenFound = false;
    OpenChosen();
  }
}

void CArchiveSearchDlg::UpdateButtons() {
  const int row = m_pResults->currentRow();
  const bool chosen = row >= 0 && row < m_hits.size();
  m_pOpen->setEnabled(chosen || m_nAnswered != m_nAsked);
  m_pForget->setEnabled(chosen && !m_hits[row].chat.operatorChat);
}

void CArchiveSearchDlg::OpenChosen() {
  if (m_nAnswered != m_nAsked) {
    // Enter right after typing: the answer to what was typed decides.
    m_bOpenWhenFound = true;
    return;
  }
  int row = m_pResults->currentRow();
  if (row < 0 || row >= m_hits.size()) row = m_hits.isEmpty() ? -1 : 0;
  if (row < 0) return;
  const ArchiveHit& hit = m_hits[row];
  emit OpenChat(hit.chat, m_strShownWords, hit.lines.isEmpty() ? 0 : hit.lines.first().id);
}

void CArchiveSearchDlg::ForgetVisitor() {
  const int row = m_pResults->currentRow();
  if (row < 0 || row >= m_hits.size() || m_hits[row].chat.operatorChat) return;
  // Copied before the question: answers may arrive while it is open.
  const ArchiveChat chat = m_hits[row].chat;
  QStringList facts;
  for (const QString& fact : {chat.visitorName, chat.visitorEmail, chat.visitorAddress})
    if (!fact.isEmpty()) facts << fact;
  QPointer<CArchiveSearchDlg> self(this);
  const auto answer = CDesktopServices::Get().MessageBox(
      this,
      QStringLiteral("Remove every archived chat of this visitor (%1) from the archive? This cannot be undone.")
          .arg(facts.join(QStringLiteral(", "))),
      QStringLiteral("Forget this visitor"), CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNo);
  // The window may have gone with the console while the question was open.
  if (!self || answer != CDesktopServices::Answer::Yes) return;
  m_archive.ForgetVisitor({chat.visitorName, chat.visitorEmail, chat.visitorAddress});
  Search();
}

CArchiveSearchDlg::~CArchiveSearchDlg() {
  if (isVisible()) CWindowPlacement::Save(this, kPlacementName);
}

void CArchiveSearchDlg::done(int result) {
  CWindowPlacement::Save(this, kPlacementName);
  QDialog::done(result);
}
