// The commands on the selected visitor or operator: the buttons under the
// table, their states, the right-click menus and the double-click. Every
// command copies what it acts on first: a menu or a box may run a refresh
// that rebuilds the rows.
#include "MainDlg.h"

#include "Alerts.h"
#include "ChatManager.h"
#include "FooButton.h"
#include "OperatorActions.h"
#include "OperatorList.h"
#include "SoundsDlg.h"
#include "VisitorActions.h"
#include "VisitorTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>

namespace {

bool Is(const QString& value, const char* word) { return value == QLatin1String(word); }

}  // namespace

const OperatorEntry* CMainDlg::SelectedOperator() const {
  if (m_mode != ViewMode::Operators) return nullptr;
  const int row = SelectedRow();
  return row >= 0 && row < m_pOperators->Entries().size() ? &m_pOperators->Entries()[row] : nullptr;
}

void CMainDlg::UpdateVisitorButtons() {
  if (m_mode == ViewMode::Operators) {
    UpdateOperatorButtons();
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  InviteButton()->setText(QStringLiteral("Invite"));
  if (SelectedVisitor(&visitor) < 0) {
    for (FooButton* b : {DeleteButton(), BusyButton(), InviteButton(), m_pSendPop, AcceptButton(), ViewDetailsButton(),
                         JoinButton(), FootPrintsButton(), BlockIpButton()})
      b->setEnabled(false);
    return;
  }
  const VisitorLine& line = visitor->m_line;
  DeleteButton()->setEnabled(Is(line.actDelete, "Delete"));
  BusyButton()->setEnabled(Is(line.actBusy, "Busy"));
  InviteButton()->setEnabled(Is(line.actInvite, "Invite"));
  BlockIpButton()->setEnabled(Is(line.actBlockIp, "BlockIP"));
  m_pSendPop->setEnabled(Is(line.actProPop, "Pro-Pop"));
  AcceptButton()->setEnabled(Is(line.status, "Chat Request"));
  ViewDetailsButton()->setEnabled(true);
  FootPrintsButton()->setEnabled(true);
  // Join keeps its state for a status that is no chat.
  if (line.status.startsWith(QStringLiteral("Chatting")))
    JoinButton()->setEnabled(
        CVisitorActions::CanJoin(line.status, m_engine.Session().loginId, m_engine.Session().admin));
}

void CMainDlg::UpdateOperatorButtons() {
  m_pOperatorLogOut->setEnabled(m_engine.Session().admin);
  InviteButton()->setText(QStringLiteral("Request Chat"));
  for (FooButton* b : {JoinButton(), DeleteButton(), FootPrintsButton(), BlockIpButton(), ViewDetailsButton()})
    b->setEnabled(false);
  const OperatorEntry* entry = SelectedOperator();
  if (entry == nullptr) {
    for (FooButton* b : {InviteButton(), AcceptButton(), BusyButton(), m_pOperatorLogOut}) b->setEnabled(false);
    return;
  }
  // Accept and Deny keep their state where no case names them.
  InviteButton()->setEnabled(Is(entry->status, "Online") && Is(entry->chatState, "Initiate"));
  if (Is(entry->chatState, "op_chat_picked")) {
    AcceptButton()->setEnabled(false);
  } else if (Is(entry->chatState, "op_chat")) {
    AcceptButton()->setEnabled(true);
    BusyButton()->setEnabled(true);
  }
}

void CMainDlg::OnAccept() {
  if (const OperatorEntry* entry = SelectedOperator()) {
    const QString chatId = entry->chatId;
    AcceptButton()->setEnabled(false);
    BusyButton()->setEnabled(false);
    m_pOperatorActions->AcceptChat(chatId);
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) return;
  const CSiteVisitor row = *visitor;
  AcceptButton()->setEnabled(false);
  BusyButton()->setEnabled(false);
  m_pVisitorActions->Accept(row);
}

void CMainDlg::OnJoin() {
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) return;
  const CSiteVisitor row = *visitor;
  AcceptButton()->setEnabled(false);
  m_pVisitorActions->Accept(row);
}

void CMainDlg::OnBusy() {
  if (const OperatorEntry* entry = SelectedOperator()) {  // Deny
    const QString chatId = entry->chatId;
    BusyButton()->setEnabled(false);
    AcceptButton()->setEnabled(false);
    m_pOperatorActions->Deny(chatId);
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) >= 0) m_pVisitorActions->Busy(visitor->m_line);
}

void CMainDlg::OnInvite() {
  if (const OperatorEntry* entry = SelectedOperator()) {  // Request Chat
    m_pOperatorActions->RequestChat(entry->name);
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) >= 0) m_pVisitorActions->Invite(visitor->m_line);
}

void CMainDlg::OnDelete() {
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) >= 0) m_pVisitorActions->Delete(visitor->m_line);
}

void CMainDlg::OnBlockIp() {
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) {
    m_pVisitorActions->BlockIp(nullptr);
    return;
  }
  const VisitorLine line = visitor->m_line;
  m_pVisitorActions->BlockIp(&line);
}

void CMainDlg::OnSendPop() {
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) return;
  m_pVisitorActions->ProactivePop(visitor->m_line, m_pSameWindow->isChecked(), m_pPopUrl->text());
  m_pPopUrl->clear();
}

void CMainDlg::OnSendMessage() {
  const QString addressee = m_pOperatorsBox->currentData().toString();
  const QString text = m_pMessage->text();
  if (addressee.isEmpty() || text.isEmpty()) return;
  m_pMessage->clear();
  m_pMessage->setFocus();
  m_pOperatorActions->SendMessage(addressee, text, [this](const QString& unsent) {
    if (m_pMessage->text().isEmpty()) m_pMessage->setText(unsent);
  });
}

void CMainDlg::OnPreferences() {
  // What the dialog stores reaches the windows through the preferences' signals.
  CSoundsDlg::Run(this);
}

void CMainDlg::OnViewMessage() { m_pOperatorActions->ViewMessages(); }

void CMainDlg::OnControlPanel() { m_engine.OpenServerPage(m_engine.Catalogue().ControlPanelPage()); }

void CMainDlg::OnTranscripts() { m_engine.OpenServerPage(m_engine.Catalogue().TranscriptsPage()); }

void CMainDlg::OnOperatorLogOut() {
  const OperatorEntry* entry = SelectedOperator();
  if (entry != nullptr && m_engine.Session().admin) m_pOperatorActions->LogOutOperator(entry->name);
}

void CMainDlg::ShowVisitorMenu(const QPoint& at) {
  UpdateVisitorButtons();
  // Shown without a nested loop; each item acts on the button's command,
  // which copies the selected row when it runs.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const struct {
    const char* text;
    FooButton* button;
    void (CMainDlg::*command)();
  } items[] = {{"&View Details", ViewDetailsButton(), &CMainDlg::OnViewDetails},
               {"&Foot Prints", FootPrintsButton(), &CMainDlg::OnFootPrints},
               {"&Accept", AcceptButton(), &CMainDlg::OnAccept},
               {"&Busy", BusyButton(), &CMainDlg::OnBusy},
               {"&Invite", InviteButton(), &CMainDlg::OnInvite},
               {"&Delete", DeleteButton(), &CMainDlg::OnDelete},
               {"Block I&P", BlockIpButton(), &CMainDlg::OnBlockIp}};
  for (const auto& item : items) menu->addAction(QLatin1String(item.text), this, item.command)->setEnabled(item.button->isEnabled());
  m_pMenu = menu;
  menu->popup(at);
}

void CMainDlg::ShowOperatorMenu(const QPoint& at) {
  UpdateOperatorButtons();
  const OperatorEntry entry = *SelectedOperator();
  const bool own = entry.name.compare(m_engine.Session().loginId, Qt::CaseInsensitive) == 0;
  bool request = !own && !Is(entry.status, "Offline");
  bool accept = AcceptButton()->isEnabled();
  bool deny = BusyButton()->isEnabled();
  if ((Is(entry.status, "Online") || Is(entry.status, "Offline")) && Is(entry.chatState, "op_chat")) {
    accept = deny = true;
    request = false;
  }
  if (Is(entry.chatState, "op_chat_picked")) request = accept = deny = false;
  // The items act on the operator the menu was made for.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("&Request Chat"), this, [this, entry] { m_pOperatorActions->RequestChat(entry.name); })
      ->setEnabled(request);
  menu->addAction(QStringLiteral("A&ccept Chat"), this, [this, entry] { m_pOperatorActions->AcceptChat(entry.chatId); })
      ->setEnabled(accept);
  menu->addAction(QStringLiteral("&Deny"), this, [this, entry] { m_pOperatorActions->Deny(entry.chatId); })
      ->setEnabled(deny);
  menu->addAction(QStringLiteral("&Operator LogOut"), this,
                  [this, entry] { m_pOperatorActions->LogOutOperator(entry.name); })
      ->setEnabled(m_engine.Session().admin);
  menu->addAction(QStringLiteral("Vie&w Message"), this, &CMainDlg::OnViewMessage)
      ->setEnabled(m_bottomButtons[1]->isEnabled());
  m_pMenu = menu;
  menu->popup(at);
}

void CMainDlg::ApplyOperatorAlerts(const RefreshReply& reply) {
  // Another operator asks this one for a chat.
  bool asked = false;
  for (const OperatorEntry& entry : reply.operators)
    asked = asked || (!entry.chatId.isEmpty() && Is(entry.chatState, "op_chat"));
  if (!asked) return;
  if (m_mode == ViewMode::Operators) {
    AcceptButton()->setEnabled(true);
    BusyButton()->setEnabled(true);
    m_pAlerts->ChatRequestInOperatorsView();
    if (!m_pAlerts->IsConsoleVisible()) RestoreConsole();
  } else if (!m_pAlerts->IsConsoleVisible()) {
    m_pAlerts->ChatRequestInOperatorsView();
    RestoreConsole();
    SwitchView(ViewMode::Operators);
  } else if (!reply.anyChatRequest) {
    SwitchView(ViewMode::Operators);
  }
}

QMenu* CMainDlg::ContextMenu() const { return m_pMenu.data(); }
