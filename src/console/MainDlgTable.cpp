// The table's selection, clicks and keys; the panel follows the selected visitor.
#include "MainDlg.h"

#include "FooButton.h"
#include "VisitorPanel.h"
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
  const bool table = watched == m_ui.table || watched == m_ui.table->viewport();
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
  if (watched == m_ui.table->viewport() && (press || event->type() == QEvent::MouseButtonRelease) &&
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
  if (m_ui.AcceptButton()->isEnabled()) OnAccept();
  return true;
}

void CMainDlg::ShowRowMenuFromKeyboard() {
  const QModelIndex current = m_ui.table->currentIndex();
  if (!current.isValid() || SelectedRow() < 0) return;
  const QRect cell = m_ui.table->visualRect(m_ui.table->model()->index(SelectedRow(), 0));
  const QPoint at = m_ui.table->viewport()->mapToGlobal(cell.bottomLeft());
  if (Mode() == ViewMode::Operators) {
    if (SelectedOperator() != nullptr) ShowOperatorMenu(at);
    return;
  }
  FollowSelection();
  ShowVisitorMenu(at);
}

void CMainDlg::FollowSelectionModel() {
  QItemSelectionModel* selection = m_ui.table->selectionModel();
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
  if (!m_pPanel->Shows(id)) m_pPanel->ShowSelected();
}

void CMainDlg::OnListClick() {
  if (Mode() == ViewMode::Operators) {
    UpdateOperatorButtons();
    return;
  }
  if (SelectedVisitor() < 0) m_pPanel->StopRefetching();
  m_pPanel->ShowSelected();
  UpdateVisitorButtons();
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

void CMainDlg::OnViewDetails() { m_pPanel->ViewDetails(); }

void CMainDlg::OnFootPrints() { m_pPanel->ViewFootPrints(); }
