#include "VisitorPanel.h"

#include "ConsoleLayout.h"
#include "ConsoleSession.h"
#include "GetFootDlg.h"
#include "Separators.h"
#include "VisitorDtlsDlg.h"
#include "VisitorInfo.h"

CVisitorPanel::CVisitorPanel(CConsoleSession& session, CVisitorInfo& info, CConsoleLayout& ui, QWidget* window,
                             Selection selected)
    : QObject(window), m_session(session), m_info(info), m_ui(ui), m_pWindow(window), m_selected(std::move(selected)) {
  connect(&info, &CVisitorInfo::DetailsArrived, this, &CVisitorPanel::OnDetailsArrived);
  connect(&info, &CVisitorInfo::FootPrintsArrived, this, &CVisitorPanel::OnFootPrintsArrived);
}

void CVisitorPanel::ShowSelected() {
  const CSiteVisitor* visitor = nullptr;
  const int row = m_selected(&visitor);
  m_strShown = row >= 0 ? visitor->m_line.sessionId : QString();
  if (m_ui.InfoPanel() == m_ui.details)
    ShowSelectedDetails();
  else if (row < 0)
    m_pFootPrints->ShowFootPrints(-1, QString(), kSepField, false, QString());
  else
    RequestFootPrints(row, *visitor);
}

void CVisitorPanel::ShowSelectedDetails() {
  const CSiteVisitor* visitor = nullptr;
  VisitorDetails details;
  m_strShown.clear();
  if (m_selected(&visitor) >= 0) {
    m_strShown = visitor->m_line.sessionId;
    if (!visitor->GetDetails(details, m_bAlwaysRefetch)) m_info.FetchDetails(visitor->m_line.sessionId);
  }
  m_ui.details->ShowDetails(details);
}

void CVisitorPanel::RequestFootPrints(int row, const CSiteVisitor& visitor) {
  // The list shows the new visitor's header, empty, until the pages come.
  m_strShown = visitor.m_line.sessionId;
  m_pFootPrints->ShowFootPrints(row, QString(), kSepField, false, visitor.m_line.ip);
  m_info.FetchFootPrints(visitor.m_line.sessionId);
}

void CVisitorPanel::ViewDetails() {
  m_bAlwaysRefetch = true;
  ShowSelectedDetails();
  m_ui.ShowInfoPanel(m_ui.details);
  if (m_pFootPrints != nullptr) m_pFootPrints->ShowFootPrints(-1, QString(), kSepField, false, QString());
}

void CVisitorPanel::ViewFootPrints() {
  if (m_pFootPrints == nullptr) {
    m_pFootPrints = new CGetFootDlg(m_pWindow);
    m_ui.Place(m_pFootPrints, CConsoleLayout::kInfoPanel,
               CConsoleLayout::MoveY | CConsoleLayout::GrowWidth | CConsoleLayout::PanelHeight);
  }
  const CSiteVisitor* visitor = nullptr;
  const int row = m_selected(&visitor);
  if (row >= 0)
    RequestFootPrints(row, *visitor);
  else
    m_strShown.clear();
  m_ui.ShowInfoPanel(m_pFootPrints);
}

void CVisitorPanel::OnDetailsArrived(const QString& sessionId, const VisitorDetails& details) {
  // Kept for the session, so that the next refreshes carry them too.
  m_session.CacheDetails(details, sessionId);
  const CSiteVisitor* visitor = nullptr;
  if (m_ui.InfoPanel() == m_ui.details && m_selected(&visitor) >= 0 && visitor->m_line.sessionId == sessionId)
    m_ui.details->ShowDetails(details);
}

void CVisitorPanel::OnFootPrintsArrived(const QString& sessionId, const QString& reply) {
  const CSiteVisitor* visitor = nullptr;
  const int row = m_selected(&visitor);
  if (m_pFootPrints == nullptr || m_ui.InfoPanel() != m_pFootPrints || row < 0 || visitor->m_line.sessionId != sessionId)
    return;
  m_pFootPrints->ShowFootPrints(row, reply, kSepField, true, visitor->m_line.ip);
}
