// The panel below the table: the selected visitor's details or foot prints.
#include "MainDlg.h"

#include "FooButton.h"
#include "GetFootDlg.h"
#include "Separators.h"
#include "VisitorDtlsDlg.h"
#include "VisitorInfo.h"
#include "VisitorTableModel.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

int CMainDlg::SelectedVisitor(const CSiteVisitor** visitor) const {
  if (visitor != nullptr) *visitor = nullptr;
  // In the Operators view the table's rows are operators.
  const int row = Mode() == ViewMode::Operators ? -1 : SelectedRow();
  if (row < 0 || row >= Visitors().size()) return -1;
  if (visitor != nullptr) *visitor = &Visitors()[row];
  return row;
}


bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  const bool table = watched == m_pTable || watched == m_pTable->viewport();
  if (table && event->type() == QEvent::KeyPress && OnTableKey(static_cast<QKeyEvent*>(event))) return true;
  if (table && event->type() == QEvent::ContextMenu) {
    // One menu per right-click or menu key: the row's, never the window's.
    // The view has chosen the row at the press.
    if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse)
      OnListRightClick();
    else
      ShowRowMenuFromKeyboard();
    return true;
  }
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (watched == m_pTable->viewport() && (press || event->type() == QEvent::MouseButtonRelease) &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    const CSiteVisitor* visitor = nullptr;
    const int row = Mode() == ViewMode::Operators ? SelectedRow() : SelectedVisitor(&visitor);
    const QString selected = visitor != nullptr ? visitor->m_line.sessionId : QString::number(row);
    // The view chooses the row at the press, and the panel follows it then;
    // a click on the row already selected shows it again.
    if (press)
      m_strSelectedAtPress = selected;
    else if (selected == m_strSelectedAtPress)
      OnListClick();
    else
      UpdateVisitorButtons();
  }
  return QDialog::eventFilter(watched, event);
}

bool CMainDlg::OnTableKey(QKeyEvent* event) {
  const bool menuKey = event->key() == Qt::Key_Menu ||
                       (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
  if (menuKey) {
    ShowRowMenuFromKeyboard();
    return true;
  }
  if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) || event->modifiers() & ~Qt::KeypadModifier)
    return false;
  // Enter on a chat request accepts it (OnAccept looks at the row's state);
  // on any other row it does nothing, and never closes the window.
  FollowSelection();
  if (AcceptButton()->isEnabled()) OnAccept();
  return true;
}

void CMainDlg::ShowRowMenuFromKeyboard() {
  const QModelIndex current = m_pTable->currentIndex();
  if (!current.isValid() || SelectedRow() < 0) return;
  const QRect cell = m_pTable->visualRect(m_pTable->model()->index(SelectedRow(), 0));
  const QPoint at = m_pTable->viewport()->mapToGlobal(cell.bottomLeft());
  if (Mode() == ViewMode::Operators) {
    if (SelectedOperator() != nullptr) ShowOperatorMenu(at);
    return;
  }
  FollowSelection();
  ShowVisitorMenu(at);
}

void CMainDlg::FollowSelectionModel() {
  QItemSelectionModel* selection = m_pTable->selectionModel();
  if (selection == nullptr) return;
  connect(selection, &QItemSelectionModel::selectionChanged, this, &CMainDlg::OnSelectionChanged,
          Qt::UniqueConnection);
  connect(selection, &QItemSelectionModel::currentRowChanged, this, &CMainDlg::OnSelectionChanged,
          Qt::UniqueConnection);
}

void CMainDlg::OnSelectionChanged() {
  // A refresh moves the selection while it replaces the rows; it follows
  // once they are all in.
  if (!m_bApplyingRefresh) FollowSelection();
}

void CMainDlg::FollowSelection() {
  UpdateVisitorButtons();
  const CSiteVisitor* visitor = nullptr;
  SelectedVisitor(&visitor);
  const QString id = visitor != nullptr ? visitor->m_line.sessionId : QString();
  if (id == m_strPanelVisitor) return;
  ShowSelectedInPanel();
}

void CMainDlg::OnListClick() {
  if (Mode() == ViewMode::Operators) {
    UpdateOperatorButtons();
    return;
  }
  if (SelectedVisitor() < 0) m_bAlwaysRefetchDetails = false;
  ShowSelectedInPanel();
  UpdateVisitorButtons();
}

void CMainDlg::ShowSelectedInPanel() {
  const CSiteVisitor* visitor = nullptr;
  const int row = SelectedVisitor(&visitor);
  m_strPanelVisitor = row >= 0 ? visitor->m_line.sessionId : QString();
  if (m_pFootPrints == nullptr || m_pFootPrints->isHidden())
    ShowSelectedDetails();
  else if (row < 0)
    m_pFootPrints->ShowFootPrints(-1, QString(), kSepField, false, QString());
  else
    RequestFootPrints(row, *visitor);
}

void CMainDlg::OnListRightClick() {
  const QPoint at = QCursor::pos();
  if (Mode() == ViewMode::Operators) {
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
  m_strPanelVisitor.clear();
  // What is known shows at once (an empty record when nothing is); a fetch
  // replaces it when its answer comes, if the visitor is still selected.
  if (SelectedVisitor(&visitor) >= 0) {
    m_strPanelVisitor = visitor->m_line.sessionId;
    if (!visitor->GetDetails(details, m_bAlwaysRefetchDetails)) m_pVisitorInfo->FetchDetails(visitor->m_line.sessionId);
  }
  m_pDetails->ShowDetails(details);
}

void CMainDlg::RequestFootPrints(int row, const CSiteVisitor& visitor) {
  // The list shows the new visitor's header, empty, until the pages come.
  m_strPanelVisitor = visitor.m_line.sessionId;
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
  if (row >= 0)
    RequestFootPrints(row, *visitor);
  else
    m_strPanelVisitor.clear();
  m_pFootPrints->show();
  m_pDetails->hide();
}

void CMainDlg::OnDetailsArrived(const QString& sessionId, const VisitorDetails& details) {
  // Kept for the session, so that the next refreshes carry them too.
  m_session.CacheDetails(details, sessionId);
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
