// The commands on the selected visitor or operator: the buttons under the
// table, their states, the right-click menus and the double-click. Every
// command copies what it acts on first: a menu or a box may run a refresh
// that rebuilds the rows.
#include "MainDlg.h"

#include "ChatManager.h"
#include "DesktopServices.h"
#include "FooButton.h"
#include "OperatorActions.h"
#include "OperatorList.h"
#include "SoundsDlg.h"
#include "VisitorActions.h"
#include "VisitorTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMenu>
#include <QTableView>

bool CMainDlg::Allows(VisitorCommand command, const CSiteVisitor& row) const {
  return CVisitorActions::Allows(command, row.m_line, m_session.Account().loginId, m_session.Account().admin);
}

bool CMainDlg::Allows(OperatorCommand command, const OperatorEntry& entry) const {
  return COperatorActions::Allows(command, entry, m_session.Account().loginId, m_session.Account().admin);
}

void CMainDlg::UpdateVisitorButtons() {
  if (Mode() == ViewMode::Operators) {
    UpdateOperatorButtons();
    return;
  }
  const CSiteVisitor* visitor = nullptr;
  m_ui.InviteButton()->setText(QStringLiteral("&Invite"));
  const bool selected = SelectedVisitor(&visitor) >= 0;
  const struct {
    FooButton* button;
    VisitorCommand command;
  } buttons[] = {{m_ui.AcceptButton(), VisitorCommand::Accept}, {m_ui.BusyButton(), VisitorCommand::Busy},
                 {m_ui.InviteButton(), VisitorCommand::Invite}, {m_ui.DeleteButton(), VisitorCommand::Delete},
                 {m_ui.JoinButton(), VisitorCommand::Join},     {m_ui.BlockIpButton(), VisitorCommand::BlockIp},
                 {m_ui.sendPop, VisitorCommand::ProactivePop}};
  for (const auto& b : buttons) b.button->setEnabled(selected && Allows(b.command, *visitor));
  m_ui.ViewDetailsButton()->setEnabled(selected);
  m_ui.FootPrintsButton()->setEnabled(selected);
}

void CMainDlg::UpdateOperatorButtons() {
  m_ui.operatorLogOut->setEnabled(m_session.Account().admin);
  m_ui.InviteButton()->setText(QStringLiteral("&Request Chat"));
  for (FooButton* b : {m_ui.JoinButton(), m_ui.DeleteButton(), m_ui.FootPrintsButton(), m_ui.BlockIpButton(), m_ui.ViewDetailsButton()})
    b->setEnabled(false);
  const OperatorEntry* entry = SelectedOperator();
  if (entry == nullptr) {
    for (FooButton* b : {m_ui.InviteButton(), m_ui.AcceptButton(), m_ui.BusyButton(), m_ui.operatorLogOut}) b->setEnabled(false);
    return;
  }
  // From the selected entry alone: Accept and Deny do not keep the state of
  // the operator selected before.
  m_ui.InviteButton()->setEnabled(Allows(OperatorCommand::RequestChat, *entry));
  m_ui.AcceptButton()->setEnabled(Allows(OperatorCommand::AcceptChat, *entry));
  m_ui.BusyButton()->setEnabled(Allows(OperatorCommand::Deny, *entry));
}

void CMainDlg::RunVisitorCommand(VisitorCommand command, const CSiteVisitor& row) {
  // The row is a copy: a box or a menu may run a refresh meanwhile.
  if (!Allows(command, row)) return;
  switch (command) {
    case VisitorCommand::Accept:
      m_ui.AcceptButton()->setEnabled(false);
      m_ui.BusyButton()->setEnabled(false);
      m_pVisitorActions->Accept(row);
      break;
    case VisitorCommand::Join:
      m_ui.AcceptButton()->setEnabled(false);
      m_pVisitorActions->Accept(row);
      break;
    case VisitorCommand::Busy: m_pVisitorActions->Busy(row.m_line); break;
    case VisitorCommand::Invite: m_pVisitorActions->Invite(row.m_line); break;
    case VisitorCommand::Delete: m_pVisitorActions->Delete(row.m_line); break;
    case VisitorCommand::BlockIp: m_pVisitorActions->BlockIp(&row.m_line); break;
    case VisitorCommand::ProactivePop:
      m_pVisitorActions->ProactivePop(row.m_line, m_ui.sameWindow->isChecked(), m_ui.popUrl->text());
      m_ui.popUrl->clear();
      break;
  }
}

void CMainDlg::RunOnSelectedVisitor(VisitorCommand command) {
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) return;
  const CSiteVisitor row = *visitor;
  RunVisitorCommand(command, row);
}

void CMainDlg::OnAccept() {
  if (Mode() == ViewMode::Operators) {
    const OperatorEntry* entry = SelectedOperator();
    if (entry == nullptr || !Allows(OperatorCommand::AcceptChat, *entry)) return;
    const QString chatId = entry->chatId;
    m_ui.AcceptButton()->setEnabled(false);
    m_ui.BusyButton()->setEnabled(false);
    m_pOperatorActions->AcceptChat(chatId);
    return;
  }
  RunOnSelectedVisitor(VisitorCommand::Accept);
}

void CMainDlg::OnJoin() { RunOnSelectedVisitor(VisitorCommand::Join); }

void CMainDlg::OnBusy() {
  if (Mode() == ViewMode::Operators) {  // Deny
    const OperatorEntry* entry = SelectedOperator();
    if (entry == nullptr || !Allows(OperatorCommand::Deny, *entry)) return;
    const QString chatId = entry->chatId;
    m_ui.BusyButton()->setEnabled(false);
    m_ui.AcceptButton()->setEnabled(false);
    m_pOperatorActions->Deny(chatId);
    return;
  }
  RunOnSelectedVisitor(VisitorCommand::Busy);
}

void CMainDlg::OnInvite() {
  if (Mode() == ViewMode::Operators) {  // Request Chat
    const OperatorEntry* entry = SelectedOperator();
    if (entry != nullptr && Allows(OperatorCommand::RequestChat, *entry)) m_pOperatorActions->RequestChat(entry->name);
    return;
  }
  RunOnSelectedVisitor(VisitorCommand::Invite);
}

void CMainDlg::OnDelete() { RunOnSelectedVisitor(VisitorCommand::Delete); }

void CMainDlg::OnBlockIp() {
  if (SelectedVisitor() < 0) {
    m_pVisitorActions->BlockIp(nullptr);
    return;
  }
  RunOnSelectedVisitor(VisitorCommand::BlockIp);
}

void CMainDlg::OnSendPop() { RunOnSelectedVisitor(VisitorCommand::ProactivePop); }

void CMainDlg::OnSendMessage() {
  const QString addressee = m_ui.operatorsBox->currentData().toString();
  const QString text = m_ui.message->text();
  if (addressee.isEmpty() || text.isEmpty()) return;
  m_ui.message->clear();
  m_ui.message->setFocus();
  // A message that went is said in the status line, with no box to dismiss
  // between two messages; one that did not comes back into its box, and a
  // box says so, since the status line changes with the next refresh.
  m_pOperatorActions->SendMessage(
      addressee, text, [this](const QString& reply) { m_ui.statusLine->setText(reply.simplified()); },
      [this, addressee](const QString& unsent) {
        if (m_ui.message->text().isEmpty()) m_ui.message->setText(unsent);
        CDesktopServices::Get().MessageBox(
            this, QStringLiteral("The message to %1 was not sent: the service did not answer. It is back in its box.").arg(addressee),
            QStringLiteral("Message not sent - Talvero"), CDesktopServices::Icon::Exclamation);
      });
}

void CMainDlg::OnPreferences() {
  // What the dialog stores reaches the windows through the preferences' signals.
  // Deleting the archive is offered only where someone keeps one.
  std::function<void()> deleteArchive;
  if (isSignalConnected(QMetaMethod::fromSignal(&CMainDlg::DeleteArchiveRequested)))
    deleteArchive = [this] { emit DeleteArchiveRequested(); };
  CSoundsDlg::Run(this, deleteArchive);
}

void CMainDlg::OnViewMessage() { m_pOperatorActions->ViewMessages(); }

void CMainDlg::OnControlPanel() { m_engine.OpenServerPage(m_engine.Catalogue().ControlPanelPage()); }

void CMainDlg::OnTranscripts() { m_engine.OpenServerPage(m_engine.Catalogue().TranscriptsPage()); }

void CMainDlg::OnOperatorLogOut() {
  const OperatorEntry* entry = SelectedOperator();
  if (entry != nullptr && Allows(OperatorCommand::LogOut, *entry)) m_pOperatorActions->LogOutOperator(entry->name);
}

void CMainDlg::ShowVisitorMenu(const QPoint& at) {
  UpdateVisitorButtons();
  const CSiteVisitor* visitor = nullptr;
  if (SelectedVisitor(&visitor) < 0) return;
  // Shown without a nested loop; each command acts on the visitor the menu
  // was made for, and only while its state allows it.
  const CSiteVisitor row = *visitor;
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("&View Details"), this, &CMainDlg::OnViewDetails)
      ->setEnabled(m_ui.ViewDetailsButton()->isEnabled());
  menu->addAction(QStringLiteral("&Foot Prints"), this, &CMainDlg::OnFootPrints)
      ->setEnabled(m_ui.FootPrintsButton()->isEnabled());
  const struct {
    const char* text;
    VisitorCommand command;
  } items[] = {{"&Accept", VisitorCommand::Accept}, {"&Busy", VisitorCommand::Busy},
               {"&Invite", VisitorCommand::Invite}, {"&Delete", VisitorCommand::Delete},
               {"Block I&P", VisitorCommand::BlockIp}};
  for (const auto& item : items)
    menu->addAction(QLatin1String(item.text), this,
                    [this, row, command = item.command] { RunVisitorCommand(command, row); })
        ->setEnabled(Allows(item.command, row));
  menu->popup(at);
}

void CMainDlg::ShowOperatorMenu(const QPoint& at) {
  UpdateOperatorButtons();
  const OperatorEntry entry = *SelectedOperator();
  const auto allows = [&](OperatorCommand command) {
    return COperatorActions::Allows(command, entry, m_session.Account().loginId, m_session.Account().admin,
                                    COperatorActions::Where::Menu);
  };
  // The items act on the operator the menu was made for.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("&Request Chat"), this, [this, entry] { m_pOperatorActions->RequestChat(entry.name); })
      ->setEnabled(allows(OperatorCommand::RequestChat));
  menu->addAction(QStringLiteral("A&ccept Chat"), this, [this, entry] { m_pOperatorActions->AcceptChat(entry.chatId); })
      ->setEnabled(allows(OperatorCommand::AcceptChat));
  menu->addAction(QStringLiteral("&Deny"), this, [this, entry] { m_pOperatorActions->Deny(entry.chatId); })
      ->setEnabled(allows(OperatorCommand::Deny));
  menu->addAction(QStringLiteral("&Operator LogOut"), this,
                  [this, entry] { m_pOperatorActions->LogOutOperator(entry.name); })
      ->setEnabled(allows(OperatorCommand::LogOut));
  menu->addAction(QStringLiteral("Vie&w Message"), this, &CMainDlg::OnViewMessage)
      ->setEnabled(m_ui.ViewMessageButton()->isEnabled());
  menu->popup(at);
}
