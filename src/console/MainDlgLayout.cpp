// The console window's controls and their places.
#include "MainDlg.h"

#include "DialogUnits.h"
#include "FooButton.h"
#include "OperatorList.h"
#include "ResourceIds.h"
#include "VisitorDtlsDlg.h"
#include "VisitorTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTableView>

namespace {

// The size every button of the bottom row takes: that of "Control Panel".
constexpr QSize kBottomButton{100, 24};
constexpr int kBottomRowY = 585;


}  // namespace

FooButton* CMainDlg::AddButton(const QString& text, const QRect& where, int anchor) {
  auto* b = new FooButton(text, this);  // a push button, auto-default off
  // Owner-drawn buttons show no focus by default; the keyboard user needs it.
  b->SetFocusStyle(FooButton::FocusRect);
  Place(b, where, anchor);
  return b;
}

void CMainDlg::Place(QWidget* widget, const QRect& where, int anchor) {
  m_placed.append({widget, where, anchor});
  widget->setGeometry(Anchored(m_placed.last()));
}

QRect CMainDlg::Anchored(const Placed& p) const {
  const int dw = std::max(0, width() - m_baseSize.width());
  const int dh = std::max(0, height() - m_baseSize.height());
  QRect r = p.base;
  if (p.anchor & MoveX) r.translate(dw, 0);
  if (p.anchor & MoveY) r.translate(0, dh);
  if (p.anchor & GrowWidth) r.setWidth(r.width() + dw);
  if (p.anchor & GrowHeight) r.setHeight(r.height() + dh);
  return r;
}

void CMainDlg::BuildWindow() {
  setWindowTitle(QStringLiteral("Talvero"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));
  // The first size is the smallest: the table takes what the window grows
  // by, the panel below it the extra width.
  m_baseSize = CDialogUnits::Size(458, 398);
  setMinimumSize(m_baseSize);
  resize(m_baseSize);
  setSizeGripEnabled(true);

  auto* siteLabel = new QLabel(QStringLiteral("Site:"), this);
  siteLabel->setGeometry(10, 8, 34, 22);
  m_pSiteUrl = new QLabel(this);
  m_pSiteUrl->setTextFormat(Qt::PlainText);
  m_pSiteUrl->setGeometry(46, 8, 400, 22);
  QFont arial(QStringLiteral("Arial"), 10);
  siteLabel->setFont(arial);
  m_pSiteUrl->setFont(arial);
  m_pSession = new QLabel(this);
  m_pSession->setTextFormat(Qt::PlainText);
  m_pSession->setGeometry(10, 30, 400, 18);
  m_pPadlock = new QLabel(this);
  m_pPadlock->setPixmap(QPixmap(QStringLiteral(":/bitmaps/310.png")));
  m_pPadlock->setGeometry(452, 11, 16, 16);
  m_pPadlock->setToolTip(QStringLiteral("Secure connection"));
  m_pPadlock->hide();

  // The presence radios sit on a grey of their own.
  auto* presence = new QFrame(this);
  Place(presence, {600, 6, 190, 26}, MoveX);
  presence->setAutoFillBackground(true);
  QPalette grey = presence->palette();
  grey.setColor(QPalette::Window, QColor(209, 211, 210));
  presence->setPalette(grey);
  m_pOnline = new QRadioButton(QStringLiteral("Online"), presence);
  m_pOnline->setGeometry(8, 2, 80, 22);
  m_pOffline = new QRadioButton(QStringLiteral("Offline"), presence);
  m_pOffline->setGeometry(96, 2, 86, 22);

  m_pTabAll = AddButton(QStringLiteral("&All Visitors"), {10, 52, 124, 26}, Fixed);
  m_pTabChats = AddButton(QStringLiteral("C&hats Only"), {138, 52, 124, 26}, Fixed);
  m_pTabOperators = AddButton(QStringLiteral("Operators"), {266, 52, 124, 26}, Fixed);
  // Tab-like toggles of one group; the checked one shows the tab mark.
  for (FooButton* tab : TabButtons()) {
    tab->SetType(FooButton::CheckPushButton);
    tab->SetTextStyle(FooButton::SingleLineCentre);
    tab->SetGradient(true);
    tab->SetGroup(QStringLiteral("1"));
  }

  m_pTable = new QTableView(this);
  Place(m_pTable, {10, 80, 782, 190}, GrowWidth | GrowHeight);
  m_pTable->setModel(&m_session.Visitors());
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setShowGrid(true);
  m_pTable->setWordWrap(false);
  m_pTable->setSortingEnabled(false);
  m_pTable->setIconSize(QSize(16, 16));
  m_pTable->verticalHeader()->hide();
  m_pTable->verticalHeader()->setDefaultSectionSize(20);
  m_pTable->horizontalHeader()->setSectionsMovable(true);
  m_pTable->horizontalHeader()->setSectionsClickable(false);
  m_pTable->horizontalHeader()->setStretchLastSection(false);
  m_pTable->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_pTable->viewport()->installEventFilter(this);  // clicks, also where no row is
  m_pTable->installEventFilter(this);              // Enter, the menu key, Shift+F10

  // The commands on the selected visitor. Each mnemonic once in the window:
  // "Block I&P" and "C&ontrol Panel" used to share Alt+P with
  // "&Proactive Pop URL :" and Alt+O with "&Operator LogOut".
  const char* const actions[] = {"&View Details", "&Foot Prints", "A&ccept", "&Busy",
                                 "&Invite",       "&Delete",      "&Join",   "Bloc&k IP"};
  for (int i = 0; i < 8; ++i)
    m_visitorButtons.append(AddButton(QString::fromLatin1(actions[i]), {10 + 98 * i, 276, 92, 24}, MoveY));

  auto* popLabel = new QLabel(QStringLiteral("&Proactive Pop URL :"), this);
  Place(popLabel, {10, 310, 124, 22}, MoveY);
  m_pPopUrl = new QLineEdit(this);
  Place(m_pPopUrl, {136, 308, 330, 24}, MoveY);
  popLabel->setBuddy(m_pPopUrl);
  m_pSameWindow = new QCheckBox(QStringLiteral("Op&en in Same Window"), this);
  Place(m_pSameWindow, {476, 309, 180, 22}, MoveY);
  m_pSendPop = AddButton(QStringLiteral("&Send"), {664, 308, 80, 24}, MoveY);

  // The visitor details (or the foot prints) of the selected visitor.
  m_pDetails = new CVisitorDtlsDlg(this);
  Place(m_pDetails, kInfoPanel, MoveY | GrowWidth);

  auto* operatorsLabel = new QLabel(QStringLiteral("Online Operator(s)"), this);
  Place(operatorsLabel, {10, 552, 112, 22}, MoveY);
  m_pOperatorsBox = new QComboBox(this);
  Place(m_pOperatorsBox, {124, 550, 180, 24}, MoveY);
  operatorsLabel->setBuddy(m_pOperatorsBox);
  m_pMessage = new QLineEdit(this);
  Place(m_pMessage, {312, 550, 330, 24}, MoveY);
  m_pMessage->setPlaceholderText(QStringLiteral("Message to the chosen operator"));
  m_pSendMessage = AddButton(QStringLiteral("Send &Message"), {650, 550, 110, 24}, MoveY);

  const char* const bottom[] = {"Preferences", "Vie&w Message", "Co&ntrol Panel", "&Transcripts", "&LogOut",
                                "&Operator LogOut"};
  for (const char* text : bottom) {
    // Placed by LayOutBottomButtons, not by the anchors.
    auto* b = new FooButton(QString::fromLatin1(text), this);
    b->SetFocusStyle(FooButton::FocusRect);
    m_bottomButtons.append(b);
  }
  m_pControlPanel = m_bottomButtons[2];
  m_pLogOut = m_bottomButtons[4];
  m_pOperatorLogOut = m_bottomButtons[5];

  m_pStatusLine = new QLabel(this);
  m_pStatusLine->setTextFormat(Qt::PlainText);
  Place(m_pStatusLine, {10, 618, 782, 22}, MoveY | GrowWidth);

  // The commands on a visitor wait for one to be selected; Operator LogOut
  // is the Operators view's.
  for (FooButton* b : m_visitorButtons) b->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{m_pSendPop, m_pOperatorLogOut}) w->setEnabled(false);
}

void CMainDlg::LayOutBottomButtons() {
  // One row, left to right, 7 pixels apart, centred as a whole; all as wide
  // as "Control Panel", or as the widest text where the font needs more.
  int w = kBottomButton.width();
  for (const FooButton* b : m_bottomButtons)
    w = std::max(w, b->fontMetrics().horizontalAdvance(QString(b->text()).remove(u'&')) + 16);
  const int first = (width() - 6 * w - 35) / 2;
  const int y = kBottomRowY + height() - m_baseSize.height();
  for (int i = 0; i < m_bottomButtons.size(); ++i)
    m_bottomButtons[i]->setGeometry(first + i * (w + 7), y, w, kBottomButton.height());
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int tableWidthBefore = m_pTable->width();
  for (const Placed& p : m_placed) p.widget->setGeometry(Anchored(p));
  LayOutBottomButtons();
  // The columns keep their shares of the table, as the operator left them.
  if (tableWidthBefore > 0 && m_pTable->width() != tableWidthBefore && m_pTable->model() != nullptr) {
    const double scale = double(m_pTable->width()) / tableWidthBefore;
    for (int c = 0; c < m_pTable->model()->columnCount(); ++c)
      m_pTable->setColumnWidth(c, int(m_pTable->columnWidth(c) * scale));
  }
}

void CMainDlg::InsertVisitorColumns() {
  m_session.Visitors().Clear();
  m_pTable->setModel(&m_session.Visitors());
  FollowSelectionModel();
  const int w = m_pTable->viewport()->width();
  for (int c = 0; c < CVisitorTableModel::kColumnCount; ++c)
    m_pTable->setColumnWidth(c, int(CVisitorTableModel::ColumnShare(c) * w));
}

void CMainDlg::UpdateTabButtons() {
  const struct {
    FooButton* tab;
    ViewMode mode;
  } tabs[] = {{m_pTabAll, ViewMode::AllVisitors}, {m_pTabChats, ViewMode::ChatsOnly}, {m_pTabOperators, ViewMode::Operators}};
  for (const auto& t : tabs) {
    const bool active = t.mode == Mode();
    t.tab->Check(active);
    t.tab->SetBitmap(active ? IDB_TAB_PRESSED : 0, QColor(255, 0, 255));
  }
}
