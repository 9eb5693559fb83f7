#include "ConsoleLayout.h"

#include "AppIdentity.h"
#include "ResourceArt.h"
#include "WindowUnits.h"
#include "FooButton.h"
#include "OperatorList.h"
#include "ResourceIds.h"
#include "ThemeColours.h"
#include "VisitorDtlsDlg.h"
#include "VisitorTableModel.h"

#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>

namespace {

// The size every button of the bottom row takes: that of "Control Panel".
constexpr QSize kBottomButton{100, 24};
constexpr int kBottomRowY = 585;


}  // namespace

FooButton* CConsoleLayout::AddButton(const QString& text, const QRect& where, int anchor) {
  auto* b = new FooButton(text, m_pWindow);  // a push button, auto-default off
  // Owner-drawn buttons show no focus by default; the keyboard user needs it.
  b->SetFocusStyle(FooButton::FocusRect);
  Place(b, where, anchor);
  return b;
}

void CConsoleLayout::Place(QWidget* widget, const QRect& where, int anchor) {
  m_placed.append({widget, m_units.Pixels(where), anchor});
  widget->setGeometry(Anchored(m_placed.last(), VerticalSplit()));
}

int CConsoleLayout::GrowthY() const { return m_pWindow->height() - m_baseSize.height(); }

int CConsoleLayout::TableHeightFor(int rows) const {
  // Under the header, the rows, and the horizontal scroll bar that the
  // columns' shares (102% of the width) always show.
  const int header = std::max(table->horizontalHeader()->sizeHint().height(), table->fontMetrics().height() + 6);
  const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
  return header + rows * table->verticalHeader()->defaultSectionSize() + scrollBar + 2 * table->frameWidth();
}

CConsoleLayout::Split CConsoleLayout::VerticalSplit() const {
  if (table == nullptr || details == nullptr) return {m_nTableBase, m_nPanelBase};
  // What the two share: the rest of the window is laid out at its first size.
  const int shared = m_nTableBase + m_nPanelBase + GrowthY();
  // The panel is no taller than its texts need (nor than the template's):
  // the table takes the rest rather than leave the panel empty below them.
  const int panelLeast = std::min(details->minimumSizeHint().height(), m_nPanelBase);
  const int panelWanted = std::clamp(details->sizeHint().height(), panelLeast, m_nPanelBase);
  const int withRows = shared - std::min(TableHeightFor(kTableRows), shared);
  if (withRows >= panelLeast) {
    const int panel = std::min(panelWanted, withRows);
    return {shared - panel, panel};
  }
  if (m_bPanelAsked && shared - TableHeightFor(kLeastTableRows) >= panelLeast) return {shared - panelLeast, panelLeast};
  return {shared, 0};
}

QRect CConsoleLayout::Anchored(const Placed& p, const Split& split) const {
  const int dw = std::max(0, m_pWindow->width() - m_baseSize.width());
  QRect r = p.base;
  if (p.anchor & MoveX) r.translate(dw, 0);
  if (p.anchor & MoveY) r.translate(0, split.table - m_nTableBase);
  if (p.anchor & MoveBottom) r.translate(0, GrowthY());
  if (p.anchor & GrowWidth) r.setWidth(r.width() + dw);
  if (p.anchor & GrowHeight) r.setHeight(split.table);
  if (p.anchor & PanelHeight) r.setHeight(std::max(split.panel, 1));
  return r;
}

void CConsoleLayout::Build(QDialog* window) {
  m_pWindow = window;
  QDialog* const w = window;
  m_units = CWindowUnits::Of(w);
  const CWindowUnits& du = m_units;
  w->setWindowTitle(QStringLiteral("Talvero"));
  w->setWindowIcon(AppIcon());
  // The first size is the smallest: the table takes what the window grows
  // by, the panel below it the extra width.
  m_baseSize = du.Size(458, 398);
  w->setMinimumSize(m_baseSize);
  w->resize(m_baseSize);
  w->setSizeGripEnabled(true);

  auto* siteLabel = new QLabel(QStringLiteral("Site:"), w);
  siteUrl = new QLabel(w);
  siteUrl->setObjectName(QStringLiteral("siteUrl"));
  siteUrl->setTextFormat(Qt::PlainText);
  QFont arial(QStringLiteral("Arial"), 10);
  siteLabel->setFont(arial);
  siteUrl->setFont(arial);
  // The site's own font keeps its size whatever the window's: the address
  // follows the label by that font's width.
  const int siteLabelWidth = QFontMetrics(arial).horizontalAdvance(siteLabel->text()) + du.PixelsX(4);
  siteLabel->setGeometry(du.PixelsX(10), du.PixelsY(8), siteLabelWidth, du.PixelsY(22));
  siteUrl->setGeometry(siteLabel->geometry().right() + du.PixelsX(2), du.PixelsY(8), du.PixelsX(400), du.PixelsY(22));
  account = new QLabel(w);
  account->setTextFormat(Qt::PlainText);
  account->setGeometry(du.Pixels(QRect(10, 30, 400, 18)));
  padlock = new QLabel(w);
  padlock->setPixmap(ResourceArt::Pixmap(ResourceArt::BitmapPath(IDB_PADLOCK)));
  padlock->setGeometry(du.PixelsX(452), du.PixelsY(11), 16, 16);
  padlock->setToolTip(QStringLiteral("Secure connection"));
  padlock->hide();

  // The presence radios sit on a grey of their own.
  auto* presence = new QFrame(w);
  Place(presence, {600, 6, 190, 26}, MoveX);
  presence->setAutoFillBackground(true);
  ThemeColours::KeepSurfaceColour(presence, QColor(209, 211, 210), QPalette::Window);
  online = new QRadioButton(QStringLiteral("Online"), presence);
  online->setGeometry(du.Pixels(QRect(8, 2, 80, 22)));
  offline = new QRadioButton(QStringLiteral("Offline"), presence);
  offline->setGeometry(du.Pixels(QRect(96, 2, 86, 22)));

  tabAll = AddButton(QStringLiteral("&All Visitors"), {10, 52, 124, 26}, Fixed);
  tabChats = AddButton(QStringLiteral("C&hats Only"), {138, 52, 124, 26}, Fixed);
  tabOperators = AddButton(QStringLiteral("Operators"), {266, 52, 124, 26}, Fixed);
  // Tab-like toggles of one group; the checked one shows the tab mark.
  for (FooButton* tab : TabButtons()) {
    tab->SetType(FooButton::CheckPushButton);
    tab->SetTextStyle(FooButton::SingleLineCentre);
    tab->SetGradient(true);
    tab->SetGroup(QStringLiteral("1"));
  }

  m_nTableBase = du.Pixels(QRect(10, 80, 782, 190)).height();
  m_nPanelBase = du.Pixels(kInfoPanel).height();
  table = new QTableView(w);
  table->setObjectName(QStringLiteral("visitorTable"));
  Place(table, {10, 80, 782, 190}, GrowWidth | GrowHeight);
  table->setAccessibleName(QStringLiteral("Visitors"));  // then the view's name, see ShowView
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setShowGrid(true);
  table->setWordWrap(false);
  table->setSortingEnabled(false);
  table->setIconSize(QSize(16, 16));
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(du.PixelsY(20));
  table->horizontalHeader()->setSectionsMovable(true);
  table->horizontalHeader()->setSectionsClickable(false);
  table->horizontalHeader()->setStretchLastSection(false);
  table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  // The commands on the selected visitor. Each mnemonic once in the window:
  // "Block I&P" and "C&ontrol Panel" used to share Alt+P with
  // "&Proactive Pop URL :" and Alt+O with "&Operator LogOut".
  const char* const actions[] = {"&View Details", "&Foot Prints", "A&ccept", "&Busy",
                                 "&Invite",       "&Delete",      "&Join",   "Bloc&k IP"};
  for (int i = 0; i < 8; ++i)
    visitorButtons.append(AddButton(QString::fromLatin1(actions[i]), {10 + 98 * i, 276, 92, 24}, MoveY));

  auto* popLabel = new QLabel(QStringLiteral("&Proactive Pop URL :"), w);
  Place(popLabel, {10, 310, 124, 22}, MoveY);
  popUrl = new QLineEdit(w);
  Place(popUrl, {136, 308, 330, 24}, MoveY);
  popLabel->setBuddy(popUrl);
  sameWindow = new QCheckBox(QStringLiteral("Op&en in Same Window"), w);
  Place(sameWindow, {476, 309, 180, 22}, MoveY);
  sendPop = AddButton(QStringLiteral("&Send"), {664, 308, 80, 24}, MoveY);

  // The visitor details (or the foot prints) of the selected visitor.
  details = new CVisitorDtlsDlg(w);
  details->setObjectName(QStringLiteral("visitorDetails"));
  m_pInfoPanel = details;
  Place(details, kInfoPanel, MoveY | GrowWidth | PanelHeight);

  auto* operatorsLabel = new QLabel(QStringLiteral("Online Operator(s)"), w);
  Place(operatorsLabel, {10, 552, 112, 22}, MoveBottom);
  operatorsBox = new QComboBox(w);
  operatorsBox->setObjectName(QStringLiteral("operators"));
  Place(operatorsBox, {124, 550, 180, 24}, MoveBottom);
  operatorsLabel->setBuddy(operatorsBox);
  message = new QLineEdit(w);
  message->setObjectName(QStringLiteral("message"));
  Place(message, {312, 550, 330, 24}, MoveBottom);
  message->setPlaceholderText(QStringLiteral("Message to the chosen operator"));
  message->setAccessibleName(message->placeholderText());
  sendMessage = AddButton(QStringLiteral("Send &Message"), {650, 550, 110, 24}, MoveBottom);

  const char* const bottom[] = {"Preferences", "Vie&w Message", "Co&ntrol Panel", "&Transcripts", "&LogOut",
                                "&Operator LogOut"};
  for (const char* text : bottom) {
    // Placed by LayOutBottomButtons, not by the anchors.
    auto* b = new FooButton(QString::fromLatin1(text), w);
    b->SetFocusStyle(FooButton::FocusRect);
    bottomButtons.append(b);
  }
  controlPanel = bottomButtons[2];
  logOut = bottomButtons[4];
  operatorLogOut = bottomButtons[5];

  statusLine = new QLabel(w);
  statusLine->setObjectName(QStringLiteral("statusLine"));
  statusLine->setTextFormat(Qt::PlainText);
  Place(statusLine, {10, 618, 782, 22}, MoveBottom | GrowWidth);
  // A large font makes the first size taller than a small screen: the
  // window may be as short as the table's fewest rows leave it, the panel
  // collapsed.
  w->setMinimumHeight(m_baseSize.height() - m_nTableBase - m_nPanelBase + TableHeightFor(kLeastTableRows));

  // The commands on a visitor wait for one to be selected; Operator LogOut
  // is the Operators view's.
  for (FooButton* b : visitorButtons) b->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{sendPop, operatorLogOut}) w->setEnabled(false);
}

void CConsoleLayout::LayOutBottomButtons() {
  // One row, left to right, 7 pixels apart (at the first base units),
  // centred as a whole; all as wide as "Control Panel", or as the widest
  // text where the font needs more.
  int w = m_units.PixelsX(kBottomButton.width());
  for (const FooButton* b : bottomButtons)
    w = std::max(w, b->fontMetrics().horizontalAdvance(QString(b->text()).remove(u'&')) + 16);
  const int y = m_units.PixelsY(kBottomRowY) + GrowthY();
  const int gap = m_units.PixelsX(7);
  const int first = (m_pWindow->width() - 6 * w - 5 * gap) / 2;
  for (int i = 0; i < bottomButtons.size(); ++i)
    bottomButtons[i]->setGeometry(first + i * (w + gap), y, w, m_units.PixelsY(kBottomButton.height()));
}

void CConsoleLayout::FollowSize() {
  const Split split = VerticalSplit();
  for (const Placed& p : m_placed) {
    p.widget->setGeometry(Anchored(p, split));
    if (p.anchor & PanelHeight) p.widget->setVisible(p.widget == m_pInfoPanel && split.panel > 0);
  }
  m_bPanelCollapsed = split.panel == 0;
  LayOutBottomButtons();
  // The columns keep their shares of the table, as the operator left them.
  const int before = std::exchange(m_nTableWidth, table->width());
  if (before > 0 && table->width() != before && table->model() != nullptr) {
    const double scale = double(table->width()) / before;
    for (int c = 0; c < table->model()->columnCount(); ++c) table->setColumnWidth(c, int(table->columnWidth(c) * scale));
  }
}

void CConsoleLayout::ShowInfoPanel(QWidget* panel) {
  m_pInfoPanel = panel;
  m_bPanelAsked = m_bPanelAsked || m_bPanelCollapsed;
  FollowSize();
}

void CConsoleLayout::ShowView(CConsoleSession::View view) {
  using View = CConsoleSession::View;
  const struct {
    FooButton* tab;
    View view;
  } tabs[] = {{tabAll, View::AllVisitors}, {tabChats, View::ChatsOnly}, {tabOperators, View::Operators}};
  for (const auto& t : tabs) {
    const bool active = t.view == view;
    t.tab->Check(active);
    t.tab->SetBitmap(active ? IDB_TAB_PRESSED : 0, QColor(255, 0, 255));
    // The table is read out as the view it shows.
    if (active) table->setAccessibleName(QString(t.tab->text()).remove(u'&'));
  }
}
