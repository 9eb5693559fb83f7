// The panel below the table: the selected visitor's details or foot prints.
#include "MainDlg.h"

#include "FooButton.h"
#include "GetFootDlg.h"
#include "Separators.h"
#include "VisitorDtlsDlg.h"
#include "VisitorInfo.h"
#include "VisitorTableModel.h"

#include <QCursor>
#include <QMouseEvent>
#include <QTableView>

int CMainDlg::SelectedVisitor(const CSiteVisitor** visitor) const {
  if (visitor != nullptr) *visitor = nullptr;
  // In the Operators view the table's rows are operators.
  const int row = m_mode == ViewMode::Operators ? -1 : SelectedRow();
  if (row < 0 || row >= Visitors().size()) return -1;
  if (visitor != nullptr) *visitor = &Visitors()[row];
  return row;
}


bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pTable->viewport() && event->type() == QEvent::MouseButtonRelease) {
    // The view has chosen the row at the press; the click acts on it.
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button == Qt::LeftButton) OnListClick();
    if (button == Qt::RightButton) OnListRightClick();
  }
  return QDialog::eventFilter(watched, event);
}

void CMainDlg::OnListClick() {
  if (m_mode == ViewMode::Operators) {
    UpdateOperatorButtons();
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  const int row = SelectedVisitor(&visitor);
  if (row < 0) m_bAlwaysRefetchDetails = false;
  if (m_pFootPrints == nullptr || m_pFootPrints->isHidden())
    ShowSelectedDetails();
  else if (row < 0)
    m_pFootPrints->ShowFootPrints(-1, QString(), kSepField, false, QString());
  else
    RequestFootPrints(row, *visitor);
  UpdateVisitorButtons();
}

void CMainDlg::OnListRightClick() {
  const QPoint at = QCursor::pos();
  if (m_mode == ViewMode::Operators) {
    if (SelectedOperator() != nullptr) ShowOperatorMenu(at);
    return;
  }
  if (SelectedVisitor() < 0) return;
  OnListClick();
  ShowVisitorMenu(at);
}

void CMainDlg::ShowSelectedDetails() {
  const CSiteVisitor* visitor = nullptr;
  VisitorDetails details;
  // What is known shows at once (an empty record when nothing is); a fetch
  // replaces it when its answer comes, if the visitor is still selected.
  if (SelectedVisitor(&visitor) >= 0 && !visitor->GetDetails(details, m_bAlwaysRefetchDetails))
    m_pVisitorInfo->FetchDetails(visitor->m_line.sessionId);
  m_pDetails->ShowDetails(details);
}

void CMainDlg::RequestFootPrints(int row, const CSiteVisitor& visitor) {
  // The list shows the new visitor's header, empty, until the pages come.
  m_pFootPrints->ShowFootPrints(row, QString(), kSepField, false, visitor.m_line.ip);
  m_pVisitorInfo->FetchFootPrints(visitor.m_line.sessionId);
}

void CMainDlg::OnViewDetails() {
  m_bAlwaysRefetchDetails = true;
  ShowSelectedDetails();
  m_pDetails->show();
  if (m_pFootPrints != nullptr) {
    m_pFootPrints->ShowFootPrints(-1, QString(), kSepField, false, QString());
    m_pFootPrints->hide();
  }
}

void CMainDlg::OnFootPrints() {
  if (m_pFootPrints == nullptr) {
    m_pFootPrints = new CGetFootDlg(this);
    Place(m_pFootPrints, kInfoPanel, MoveY | GrowWidth);
  }
  const CSiteVisitor* visitor = nullptr;
  const int row = SelectedVisitor(&visitor);
  if (row >= 0) RequestFootPrints(row, *visitor);
  m_pFootPrints->show();
  m_pDetails->hide();
}

void CMainDlg::OnDetailsArrived(const QString& sessionId, const VisitorDetails& details) {
  // Kept for the session, so that the next refreshes carry them too.
  CacheDetails(details, sessionId);
  m_pVisitorModel->SetDetails(sessionId, details);
  const CSiteVisitor* visitor = nullptr;
  if (!m_pDetails->isHidden() && SelectedVisitor(&visitor) >= 0 && visitor->m_line.sessionId == sessionId)
    m_pDetails->ShowDetails(details);
}

void CMainDlg::OnFootPrintsArrived(const QString& sessionId, const QString& reply) {
  const CSiteVisitor* visitor = nullptr;
  const int row = SelectedVisitor(&visitor);
  if (m_pFootPrints == nullptr || m_pFootPrints->isHidden() || row < 0 || visitor->m_line.sessionId != sessionId)
    return;
  m_pFootPrints->ShowFootPrints(row, reply, kSepField, true, visitor->m_line.ip);
}
