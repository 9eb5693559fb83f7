#pragma once

#include "ConsoleSession.h"

#include <QObject>
#include <QItemSelectionModel>
#include <QPoint>
#include <QPointer>
#include <QString>

class COperatorListLook;
class CVisitorTableLook;
class QTableView;

// The console's table: the visitors or the operators as the view wants,
// shown through their looks (pictures and colours), the selection kept
// across refreshes (the visitor where he now is, the operator by name), and
// the clicks and keys on it told as what they mean.
class CConsoleTable : public QObject {
  Q_OBJECT

 public:
  CConsoleTable(CConsoleSession& session, QTableView* table, QObject* parent);

  void ShowVisitors();
  void ShowOperators();
  int SelectedRow() const;
  // The selected visitor's row and record, or -1 and nullptr (always so in
  // the Operators view).
  int SelectedVisitor(const CSiteVisitor** visitor = nullptr) const;
  // The selected operator's entry, or nullptr (always so in the visitor views).
  const OperatorEntry* SelectedOperator() const;
  // Under the selected row, for a menu opened from the keyboard; null when
  // nothing is selected.
  QPoint UnderSelectedRow() const;

 signals:
  // The selection moved by a key or a click, not by a refresh.
  void SelectionMoved();
  // A left click: on the row that was selected already, or one that moved it.
  void ClickedSelected();
  void ClickedOther();
  void RightClicked();
  // The menu key or Shift+F10; Enter.
  void MenuKey();
  void EnterPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowSelectionModel();
  // Around a model's taking of a refresh, for the model the table shows.
  void Remember(const QAbstractItemModel* rows);
  void Restore(const QAbstractItemModel* rows);
  // The selected visitor's session id or operator's name, as shown.
  QString SelectedKey() const;

  CConsoleSession& m_session;
  QTableView* m_pTable;
  CVisitorTableLook* m_pVisitorLook;
  COperatorListLook* m_pOperatorLook;
  QObject* m_pViewport;
  QPointer<QItemSelectionModel> m_pWatched;
  const QAbstractItemModel* m_pReplacing = nullptr;  // the shown rows, while a refresh replaces them
  QString m_strSelectedAtPress;  // the selection when the mouse went down
  // The selection as the refresh began: the row and the visitor's id, or the operator's name.
  int m_nRowBefore = -1;
  QString m_strSelectedBefore;
};
