#include "ConsoleTable.h"

#include "OperatorList.h"
#include "OperatorListLook.h"
#include "VisitorTableLook.h"
#include "VisitorTableModel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

CConsoleTable::CConsoleTable(CConsoleSession& session, QTableView* table, QObject* parent)
    : QObject(parent),
      m_session(session),
      m_pTable(table),
      m_pVisitorLook(new CVisitorTableLook(session.Visitors(), this)),
      m_pOperatorLook(new COperatorListLook(session.Operators(), this)),
      m_pViewport(table->viewport()) {
  table->setModel(m_pVisitorLook);
  table->viewport()->installEventFilter(this);  // clicks, also where no row is
  table->installEventFilter(this);              // Enter, the menu key, Shift+F10
  // The selection is back on its visitor or operator while the model takes
  // a refresh, before the session tells anyone of it: whoever listens to
  // the session, in whatever order, finds it in place.
  connect(&session.Visitors(), &CVisitorTableModel::RowsReplacing, this, [this] { Remember(m_pVisitorLook); });
  connect(&session.Visitors(), &CVisitorTableModel::RowsReplaced, this, [this] { Restore(m_pVisitorLook); });
  connect(&session.Operators(), &COperatorList::RowsReplacing, this, [this] { Remember(m_pOperatorLook); });
  connect(&session.Operators(), &COperatorList::RowsReplaced, this, [this] { Restore(m_pOperatorLook); });
  FollowSelectionModel();
}

void CConsoleTable::ShowVisitors() {
  m_session.Visitors().Clear();
  m_pTable->setModel(m_pVisitorLook);
  FollowSelectionModel();
  const int w = m_pTable->viewport()->width();
  for (int c = 0; c < CVisitorTableModel::kColumnCount; ++c)
    m_pTable->setColumnWidth(c, int(CVisitorTableModel::ColumnShare(c) * w));
}

void CConsoleTable::ShowOperators() {
  m_session.Visitors().Clear();
  m_pTable->setModel(m_pOperatorLook);
  FollowSelectionModel();
  const int half = m_pTable->viewport()->width() / 2;
  m_pTable->setColumnWidth(COperatorList::ColName, half);
  m_pTable->setColumnWidth(COperatorList::ColStatus, half);
}

void CConsoleTable::FollowSelectionModel() {
  QItemSelectionModel* selection = m_pTable->selectionModel();
  if (selection == nullptr || selection == m_pWatched) return;
  m_pWatched = selection;
  // A refresh moves the selection while it replaces the rows; the window
  // follows once they are all in.
  const auto moved = [this] {
    if (m_pReplacing == nullptr) emit SelectionMoved();
  };
  connect(selection, &QItemSelectionModel::selectionChanged, this, moved);
  connect(selection, &QItemSelectionModel::currentRowChanged, this, moved);
}

int CConsoleTable::SelectedRow() const {
  const QModelIndexList rows = m_pTable->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int CConsoleTable::SelectedVisitor(const CSiteVisitor** visitor) const {
  if (visitor != nullptr) *visitor = nullptr;
  const QList<CSiteVisitor>& visitors = m_session.Visitors().Visitors();
  const int row = m_session.CurrentView() == CConsoleSession::View::Operators ? -1 : SelectedRow();
  if (row < 0 || row >= visitors.size()) return -1;
  if (visitor != nullptr) *visitor = &visitors[row];
  return row;
}

const OperatorEntry* CConsoleTable::SelectedOperator() const {
  if (m_session.CurrentView() != CConsoleSession::View::Operators) return nullptr;
  const int row = SelectedRow();
  const QList<OperatorEntry>& entries = m_session.Operators().Entries();
  return row >= 0 && row < entries.size() ? &entries[row] : nullptr;
}

QPoint CConsoleTable::UnderSelectedRow() const {
  if (!m_pTable->currentIndex().isValid() || SelectedRow() < 0) return {};
  const QRect cell = m_pTable->visualRect(m_pTable->model()->index(SelectedRow(), 0));
  return m_pTable->viewport()->mapToGlobal(cell.bottomLeft());
}

QString CConsoleTable::SelectedKey() const {
  const int row = SelectedRow();
  if (row < 0) return QString();
  if (m_pTable->model() == m_pOperatorLook) {
    const QList<OperatorEntry>& entries = m_session.Operators().Entries();
    return row < entries.size() ? entries.at(row).name : QString();
  }
  const QList<CSiteVisitor>& visitors = m_session.Visitors().Visitors();
  return row < visitors.size() ? visitors.at(row).m_line.sessionId : QString();
}

void CConsoleTable::Remember(const QAbstractItemModel* rows) {
  if (m_pTable->model() != rows) return;  // kept for the commands, not shown
  m_pReplacing = rows;
  m_nRowBefore = SelectedRow();
  m_strSelectedBefore = SelectedKey();
}

void CConsoleTable::Restore(const QAbstractItemModel* rows) {
  if (m_pReplacing != rows) return;
  m_pReplacing = nullptr;
  const QSignalBlocker quiet(this);  // the window follows the refresh itself
  if (rows == m_pOperatorLook) {
    const int row = m_strSelectedBefore.isEmpty() ? -1 : m_session.Operators().Find(m_strSelectedBefore);
    if (row >= 0)
      m_pTable->selectRow(row);
    else
      m_pTable->clearSelection();
    return;
  }
  // The visitor selected before stays selected where he now is; if he is
  // gone, the row at his old place is; with nothing selected, the first row.
  const QList<CSiteVisitor>& visitors = m_session.Visitors().Visitors();
  int reselect = m_nRowBefore;
  if (reselect != -1 && !m_strSelectedBefore.isEmpty()) {
    // The last line with the id, should the service list one twice.
    for (qsizetype i = visitors.size() - 1; i >= 0; --i) {
      if (visitors.at(i).m_line.sessionId != m_strSelectedBefore) continue;
      reselect = int(i);
      break;
    }
  }
  if (reselect < 0) reselect = 0;
  if (reselect < visitors.size()) {
    const QModelIndex index = m_pVisitorLook->index(reselect, 0);
    m_pTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pTable->scrollTo(index, QAbstractItemView::EnsureVisible);
  } else {
    m_pTable->selectionModel()->clearSelection();
  }
}

bool CConsoleTable::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
      emit MenuKey();
      return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & ~Qt::KeypadModifier)) {
      emit EnterPressed();  // never closes the window
      return true;
    }
  }
  if (event->type() == QEvent::ContextMenu) {
    // One menu per right-click or menu key: the row's, never the window's.
    // The view has chosen the row at the press.
    if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse)
      emit RightClicked();
    else
      emit MenuKey();
    return true;
  }
  const bool press = event->type() == QEvent::MouseButtonPress;
  // Compared, not asked of the table: events come while it is destroyed.
  if (watched == m_pViewport && (press || event->type() == QEvent::MouseButtonRelease) &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    const QString selected = SelectedKey() + u'/' + QString::number(SelectedRow());
    // The view chooses the row at the press, and the panel follows it then;
    // a click on the row already selected shows it again.
    if (press)
      m_strSelectedAtPress = selected;
    else if (selected == m_strSelectedAtPress)
      emit ClickedSelected();
    else
      emit ClickedOther();
  }
  return QObject::eventFilter(watched, event);
}
