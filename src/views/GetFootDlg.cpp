#include "GetFootDlg.h"

#include "LinkOpener.h"
#include "MyHyperLink.h"
#include "Separators.h"
#include "SplitReply.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kPagesVisited = QStringLiteral("Pages Visited");
const QString kDuration = QStringLiteral("Duration");
const QString kNoPage = QStringLiteral("//");
}  // namespace

CGetFootDlg::CGetFootDlg(QWidget* parent) : QWidget(parent), m_pList(new QTableWidget(0, 1)) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 2, 4, 2);
  auto* box = new QGroupBox(this);
  auto* inner = new QVBoxLayout(box);
  inner->setContentsMargins(4, 4, 4, 4);
  inner->addWidget(m_pList);
  outer->addWidget(box);

  m_pList->setParent(box);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setShowGrid(true);
  m_pList->setWordWrap(false);
  m_pList->setSortingEnabled(false);
  m_pList->verticalHeader()->hide();
  m_pList->verticalHeader()->setDefaultSectionSize(20);
  m_pList->horizontalHeader()->setSectionsClickable(false);
  m_pList->horizontalHeader()->setSectionsMovable(true);
  m_pList->horizontalHeader()->setStretchLastSection(false);
  m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_pList->setHorizontalHeaderLabels({kPagesVisited});
  m_pList->installEventFilter(this);
  connect(m_pList, &QTableWidget::cellDoubleClicked, this, [this] { OpenSelectedPage(); });
  SetColumnWidths();
}

void CGetFootDlg::SetColumnWidths() {
  // 90% for the page, 10% for the duration, of the list as wide as it is now.
  const int width = m_pList->viewport()->width();
  m_pList->setColumnWidth(0, int(width * 0.9));
  if (m_pList->columnCount() > 1) m_pList->setColumnWidth(1, int(width * 0.1));
}

void CGetFootDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout()->activate();
  SetColumnWidths();
}

void CGetFootDlg::SplitPiece(const QString& piece, QString& page, QString& duration) {
  page.clear();
  duration.clear();
  const qsizetype space = piece.indexOf(u' ');
  if (space < 0) return;
  page = piece.left(space);
  const qsizetype colon = piece.indexOf(u':', space + 1);
  if (colon >= 0) duration = piece.mid(colon + 1);
}

void CGetFootDlg::ShowFootPrints(int mode, const QString& reply, const QString& separator, bool bHasRows,
                                 const QString& visitorName) {
  Q_UNUSED(bHasRows);  // the list is emptied in any case
  m_pList->setRowCount(0);
  if (mode < 0) {
    m_pList->setColumnCount(1);
    m_pList->setHorizontalHeaderLabels({kPagesVisited});
    SetColumnWidths();
    return;
  }
  m_pList->setColumnCount(2);
  m_pList->setHorizontalHeaderLabels({kPagesVisited + u' ' + visitorName, kDuration});
  SetColumnWidths();
  if (reply.isEmpty() || reply == kDisconnect) return;

  const QStringList pieces = SplitReply(reply, separator);
  m_pList->setRowCount(int(pieces.size()));
  for (int j = 0; j < pieces.size(); ++j) {
    QString page, duration;
    SplitPiece(pieces[j], page, duration);
    m_pList->setItem(j, 0, new QTableWidgetItem(page.isEmpty() ? kNoPage : page));
    m_pList->setItem(j, 1, new QTableWidgetItem(page.isEmpty() ? QString() : duration));
    m_pList->item(j, 0)->setToolTip(PlainToolTip(page));
  }
}

void CGetFootDlg::OpenSelectedPage() {
  const QList<QTableWidgetItem*> selected = m_pList->selectedItems();
  if (selected.isEmpty()) return;
  const QTableWidgetItem* page = m_pList->item(selected.first()->row(), 0);
  // The visitor's text: only web and mail addresses are opened, "//" never.
  if (page != nullptr && !page->text().isEmpty()) CLinkOpener::Open(page->text());
}

bool CGetFootDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenSelectedPage();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
