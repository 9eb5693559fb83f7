#pragma once

#include "SiteVisitor.h"

#include <QObject>
#include <QString>

#include <functional>

class CConsoleLayout;
class CConsoleSession;
class CGetFootDlg;
class CVisitorInfo;
class QWidget;

// The panel below the console's table: the selected visitor's details, or
// his foot prints once the operator asked for them. What is known shows at
// once; an answer replaces it when it comes, if the visitor is still
// selected.
class CVisitorPanel : public QObject {
  Q_OBJECT

 public:
  // The selected visitor's row and record, or -1 and nullptr.
  using Selection = std::function<int(const CSiteVisitor** visitor)>;

  CVisitorPanel(CConsoleSession& session, CVisitorInfo& info, CConsoleLayout& ui, QWidget* window,
                Selection selected);

  // Shows the selected visitor in the panel's current kind.
  void ShowSelected();
  // The panel already shows this visitor (empty: nobody).
  bool Shows(const QString& sessionId) const { return sessionId == m_strShown; }
  // View Details: the details, asked afresh at every display until a
  // click selects nobody (StopRefetching).
  void ViewDetails();
  void StopRefetching() { m_bAlwaysRefetch = false; }
  void ViewFootPrints();
  // nullptr until foot prints are first asked for.
  CGetFootDlg* FootPrints() const { return m_pFootPrints; }

 private:
  void ShowSelectedDetails();
  void RequestFootPrints(int row, const CSiteVisitor& visitor);
  void OnDetailsArrived(const QString& sessionId, const VisitorDetails& details);
  void OnFootPrintsArrived(const QString& sessionId, const QString& reply);

  CConsoleSession& m_session;
  CVisitorInfo& m_info;
  CConsoleLayout& m_ui;
  QWidget* m_pWindow;
  Selection m_selected;
  CGetFootDlg* m_pFootPrints = nullptr;
  QString m_strShown;  // session id of the visitor shown, empty for none
  bool m_bAlwaysRefetch = false;
};
