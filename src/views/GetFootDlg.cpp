#include "GetFootDlg.h"

#include "WindowUnits.h"
#include "FootPrintsReply.h"
#include "LinkOpener.h"
#include "MyHyperLink.h"

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
  m_pList->setAccessibleName(QStringLiteral("Pages visited"));
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
  m_pList->verticalHeader()->setDefaultSectionSize(CWindowUnits::Of(this).PixelsY(20));
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

void CGetFootDlg::ShowFootPrints(int mode, const QString& reply, const QString& separator, bool bHasRows,
                                 const QString& visitorName) {
  Q_UNUSED(separator);
  Q_UNUSED(bHasRows);  // the list is emptied in any case
  ShowFootPrints(mode, FootPrintsReply::Parse(reply), visitorName);
}

void CGetFootDlg::ShowFootPrints(int mode, const FootPrintsReply& reply, const QString& visitorName) {
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
  m_pList->setRowCount(int(reply.pages.size()));
  for (int j = 0; j < reply.pages.size(); ++j) {
    const FootPrint& f = reply.pages[j];
    m_pList->setItem(j, 0, new QTableWidgetItem(f.page.isEmpty() ? kNoPage : f.page));
    m_pList->setItem(j, 1, new QTableWidgetItem(f.page.isEmpty() ? QString() : f.duration));
    m_pList->item(j, 0)->setToolTip(PlainToolTip(f.page));
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
