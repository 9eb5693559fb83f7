// The table's selection, clicks and keys; the panel follows the selected visitor.
#include "MainDlg.h"

#include "ConsoleTable.h"
#include "FooButton.h"
#include "VisitorPanel.h"

#include <QCursor>

int CMainDlg::SelectedVisitor(const CSiteVisitor** visitor) const { return m_pTable->SelectedVisitor(visitor); }

const OperatorEntry* CMainDlg::SelectedOperator() const { return m_pTable->SelectedOperator(); }

void CMainDlg::OnEnter() {
  // On a chat request it accepts (OnAccept looks at the row's state); on
  // any other row it does nothing.
  FollowSelection();
  if (m_ui.AcceptButton()->isEnabled()) OnAccept();
}

void CMainDlg::ShowRowMenuFromKeyboard() {
  const QPoint at = m_pTable->UnderSelectedRow();
  if (at.isNull()) return;
  if (Mode() == ViewMode::Operators) {
    if (SelectedOperator() != nullptr) ShowOperatorMenu(at);
    return;
  }
  FollowSelection();
  ShowVisitorMenu(at);
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
