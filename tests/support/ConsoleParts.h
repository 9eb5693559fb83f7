#pragma once

// The console window's parts, found by their names and texts (see WindowParts.h).

#include "FooButton.h"
#include "GetFootDlg.h"
#include "VisitorDtlsDlg.h"
#include "WindowParts.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

namespace ConsoleParts {

using namespace WindowParts;

inline FooButton* Button(const QWidget& console, const QString& text) { return WindowParts::Button<FooButton>(console, text); }
inline QRadioButton* Radio(const QWidget& console, const QString& text) { return WindowParts::Button<QRadioButton>(console, text); }

inline QTableView* Table(const QWidget& console) { return Named<QTableView>(console, "visitorTable"); }
inline QLabel* StatusLine(const QWidget& console) { return Named<QLabel>(console, "statusLine"); }
inline QLabel* SiteUrl(const QWidget& console) { return Named<QLabel>(console, "siteUrl"); }
inline QComboBox* OperatorsBox(const QWidget& console) { return Named<QComboBox>(console, "operators"); }
inline QLineEdit* MessageLine(const QWidget& console) { return Named<QLineEdit>(console, "message"); }
inline CVisitorDtlsDlg* Details(const QWidget& console) { return Named<CVisitorDtlsDlg>(console, "visitorDetails"); }
// nullptr until the foot prints were first asked for.
inline CGetFootDlg* FootPrints(const QWidget& console) { return console.findChild<CGetFootDlg*>(); }

// The table's selected row, -1 without one.
inline int SelectedRow(const QWidget& console) {
  const QModelIndexList rows = Table(console)->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

// The view tabs, left to right.
inline QList<FooButton*> Tabs(const QWidget& console) {
  return {Button(console, "All Visitors"), Button(console, "Chats Only"), Button(console, "Operators")};
}
// The row of buttons at the bottom, left to right.
inline QList<FooButton*> BottomRow(const QWidget& console) {
  QList<FooButton*> row;
  for (const char* text : {"Preferences", "View Message", "Control Panel", "Transcripts", "LogOut", "Operator LogOut"})
    row.append(Button(console, QString::fromLatin1(text)));
  return row;
}

}  // namespace ConsoleParts
