#include "MainDlg.h"

#include "ChatManager.h"
#include "DesktopServices.h"
#include "EventSound.h"
#include "Preferences.h"
#include "RefreshReply.h"
#include "RequestTypes.h"
#include "ResourceIds.h"
#include "SavedCredentials.h"
#include "Separators.h"
#include "StringTable.h"
#include "VisitorTableModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>

namespace {

const QString kConnectionAlert = QStringLiteral("ALERT : Internet Connection is not available.");

// A visitor on the site for less than this many seconds rings the
// new-visitor sound. The duration reads H:MM:SS; without its colons it is
// compared as a number, so 0:00:08 is 8.
constexpr long kNewVisitorSeconds = 9;

bool IsNewVisitor(const QString& duration) {
  QString digits = duration;
  digits.remove(u':');
  bool ok = false;
  const long value = digits.toLong(&ok);
  // A duration that is no number at all says nothing about a new visitor.
  return ok && value >= 0 && value < kNewVisitorSeconds;
}

}  // namespace

// Receives the reply of one refresh request and hands it to the console with
// its sequence number, so that a slow reply overtaken by a newer one can be
// dropped.
class CRefreshRequest : public QObject, public CReplyWindow {
 public:
  CRefreshRequest(CMainDlg* console, quint64 sequence) : QObject(console), m_pConsole(console), m_nSequence(sequence) {}
  void HandleServerReply(int nType, const QString& strReply) override {
    if (nType == REQ_REFRESH) m_pConsole->OnRefreshReply(m_nSequence, strReply);
    deleteLater();
  }

 private:
  CMainDlg* m_pConsole;
  quint64 m_nSequence;
};

CMainDlg::CMainDlg(CChatManager& engine, QWidget* parent) : QDialog(parent), m_engine(engine) {
  BuildWindow();
  connect(&m_refreshTimer, &QTimer::timeout, this, &CMainDlg::RefreshVisitors);
  connect(m_pOnline, &QRadioButton::clicked, this, &CMainDlg::OnOnline);
  connect(m_pOffline, &QRadioButton::clicked, this, &CMainDlg::OnOffline);
  connect(m_pLogOut, &QPushButton::clicked, this, &CMainDlg::OnLogOutButton);
  connect(m_pTabAll, &QPushButton::clicked, this, [this] { SwitchView(ViewMode::AllVisitors); });
  connect(m_pTabChats, &QPushButton::clicked, this, [this] { SwitchView(ViewMode::ChatsOnly); });
  connect(m_pTabOperators, &QPushButton::clicked, this, [this] { SwitchView(ViewMode::Operators); });
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::SetConsoleSession(const QString& siteId, const QString& loginId, const QString& siteUrl) {
  m_strSiteId = siteId;
  m_strLoginId = loginId;
  m_strSiteUrl = siteUrl;
}

const QList<CSiteVisitor>& CMainDlg::Visitors() const { return m_pVisitorModel->Visitors(); }

int CMainDlg::DoModal() {
  OnInitDialog();
  return exec();
}

bool CMainDlg::OnInitDialog() {
  m_pSiteUrl->setText(m_strSiteUrl);
  m_pSession->setText(m_strLoginId + QStringLiteral(" (") + m_strSiteId + QStringLiteral(") "));
  AnnounceOnline();
  InsertVisitorColumns();
  if (m_engine.IsSecure()) m_pPadlock->show();
  // The first table comes after one period, not at once.
  m_refreshTimer.start(m_engine.ConsolePeriod());
  setWindowFlag(Qt::WindowStaysOnTopHint, IsAlwaysOnTop());
  LayOutBottomButtons();
  m_pControlPanel->setEnabled(false);
  UpdateTabButtons();
  return true;
}

void CMainDlg::RefreshVisitors() {
  QString url = CStringTable::Load(IDS_REQ_REFRESH);
  if (m_mode == ViewMode::ChatsOnly) url += QStringLiteral("&conly=Y");
  url = CStringTable::FormatText(url, {CChatManager::UrlEncode(m_strLoginId), m_strSiteId});
  m_engine.RequestAsync(url, REQ_REFRESH, new CRefreshRequest(this, m_nNextRefresh++));
}

void CMainDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing()) return;
  if (nType == REQ_STATUS) OnStatusReply(strReply);
}

void CMainDlg::OnRefreshReply(quint64 sequence, const QString& reply) {
  if (m_engine.IsClosing() || m_bEnded) return;
  // Requests are not serialised: an overtaken reply would show an older table.
  if (sequence < m_nNewestApplied) return;
  m_nNewestApplied = sequence;
  ApplyRefreshReply(reply);
}

int CMainDlg::SelectedRow() const {
  const QModelIndexList rows = m_pTable->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

bool CMainDlg::IsConsoleVisible() const { return isVisible() && !isMinimized(); }

CSiteVisitor CMainDlg::MakeVisitor(const VisitorLine& line) const {
  CSiteVisitor visitor(line);
  const auto cached = m_detailsCache.constFind(line.sessionId);
  if (cached != m_detailsCache.constEnd()) {
    visitor.m_details = *cached;
    visitor.m_bDetailsLoaded = true;
  }
  return visitor;
}

void CMainDlg::ApplyRefreshReply(const QString& text) {
  if (m_engine.IsClosing() || m_bEnded) return;
  const RefreshReply reply = RefreshReply::Parse(text);
  if (!reply.wellFormed) {
    if (text == QStringLiteral("logout")) {
      EndSession(true, true);
      return;
    }
    if (text == kDisconnect && !m_bConnectionAlert) {
      m_pStatusLine->setText(kConnectionAlert);
      m_bConnectionAlert = true;
    }
  } else if (m_bConnectionAlert) {
    m_pStatusLine->clear();
    m_bConnectionAlert = false;
  }

  if (!m_bConnectionAlert) m_pStatusLine->setText(CStringTable::Load(IDS_STATUS_NO_TOTALS));
  m_operators = reply.operators;
  int chats = 0;
  if (m_mode == ViewMode::Operators) {
    QList<CSiteVisitor> visitors;
    for (const VisitorLine& line : reply.visitors) {
      // A chat request while the operator looks at the operators: back to
      // the visitors, which the next refresh fills.
      if (line.status == QStringLiteral("Chat Request") && IsConsoleVisible()) {
        PlayEventSound(EVENT_CHAT_REQUEST);
        SwitchView(ViewMode::AllVisitors);
        return;
      }
      visitors.append(MakeVisitor(line));
      if (line.status.startsWith(QStringLiteral("Chat"))) ++chats;
    }
    // The visitors are kept (not shown) for the commands that need them.
    m_pVisitorModel->SetVisitors(std::move(visitors));
  } else {
    ApplyVisitorLines(reply, chats);
  }

  if (!m_bConnectionAlert)
    m_pStatusLine->setText(CStringTable::Format(IDS_STATUS_TOTALS, {QString::number(reply.total), QString::number(chats)}));
  m_operatorTexts.clear();
  for (const OperatorEntry& op : m_operators) m_operatorTexts.append(op.name + QStringLiteral(" (") + op.status + u')');
  RefillOperatorsBox();
  HandleSoundName(reply.sound);
}

void CMainDlg::ApplyVisitorLines(const RefreshReply& reply, int& chats) {
  int reselect = SelectedRow();
  const QString selectedId = reselect >= 0 && reselect < Visitors().size() ? Visitors()[reselect].m_line.sessionId : QString();
  QList<CSiteVisitor> visitors;
  visitors.reserve(reply.visitors.size());
  for (const VisitorLine& line : reply.visitors) {
    if (reselect != -1 && !selectedId.isEmpty() && line.sessionId == selectedId) reselect = int(visitors.size());
    visitors.append(MakeVisitor(line));
    if (line.status.startsWith(QStringLiteral("Chat"))) ++chats;
    if (IsNewVisitor(line.duration)) PlayEventSound(EVENT_NEW_VISITOR);
  }
  m_pVisitorModel->SetVisitors(std::move(visitors));

  // The visitor selected before stays selected where it now is; if it is
  // gone, the row at its old place is; with nothing selected, the first row.
  if (reselect < 0) reselect = 0;
  if (reselect < m_pVisitorModel->rowCount()) {
    const QModelIndex index = m_pVisitorModel->index(reselect, 0);
    m_pTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pTable->scrollTo(index, QAbstractItemView::EnsureVisible);
  } else {
    m_pTable->selectionModel()->clearSelection();
  }
}

void CMainDlg::RefillOperatorsBox() {
  const int selected = m_pOperatorsBox->currentIndex();
  m_pOperatorsBox->clear();
  for (const QString& text : m_operatorTexts) {
    const QString name = text.section(u' ', 0, 0);
    if (name.compare(m_strLoginId, Qt::CaseInsensitive) != 0) m_pOperatorsBox->addItem(text);
  }
  m_pOperatorsBox->setCurrentIndex(selected >= 0 && selected < m_pOperatorsBox->count() ? selected : 0);
  AnnounceOnline();
}

void CMainDlg::SendPresence(bool bOnline) {
  m_engine.RequestAsync(CStringTable::Format(bOnline ? IDS_REQ_STATUS_ONLINE : IDS_REQ_STATUS_OFFLINE,
                                             {m_strSiteId, CChatManager::UrlEncode(m_strLoginId)}),
                        REQ_STATUS, this);
}

void CMainDlg::AnnounceOnline() {
  if (!m_bManualOffline) SendPresence(true);
}

void CMainDlg::OnOnline() {
  m_bManualOffline = false;
  SendPresence(true);
}

void CMainDlg::OnOffline() {
  SendPresence(false);
  m_bManualOffline = true;
}

void CMainDlg::OnStatusReply(const QString& reply) {
  if (reply == QStringLiteral("online"))
    m_bOnline = true;
  else if (reply == QStringLiteral("offline"))
    m_bOnline = false;
  else
    return;
  if (m_bManualOffline) return;
  (m_bOnline ? m_pOnline : m_pOffline)->setChecked(true);
}

void CMainDlg::HandleSoundName(const QString& name) {
  if (name.isEmpty()) return;
  if (m_bOnline && name == QStringLiteral("sound1")) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    if (!IsConsoleVisible() && m_mode == ViewMode::Operators) SwitchView(ViewMode::AllVisitors);
    showNormal();
    raise();
    activateWindow();
  } else if (m_bOnline && name == QStringLiteral("sound2")) {
    PlayEventSound(EVENT_CHAT_REQUEST_BUSY);
  } else if (name == QStringLiteral("sound3")) {
    PlayEventSound(EVENT_MESSAGE_FROM_CSR);
  } else if (name == QStringLiteral("NewVisitor")) {
    PlayEventSound(EVENT_NEW_VISITOR);
  } else if (name == QStringLiteral("chat_tran_snd")) {
    PlayEventSound(EVENT_CHAT_TRANSFER);
  }
}

void CMainDlg::SwitchView(ViewMode mode) {
  if (mode == m_mode) {
    UpdateTabButtons();
    return;
  }
  m_mode = mode;
  UpdateTabButtons();
  if (mode == ViewMode::Operators) {
    m_pVisitorModel->Clear();
    m_pOperatorModel->removeRows(0, m_pOperatorModel->rowCount());
    m_pTable->setModel(m_pOperatorModel);
    const int half = m_pTable->viewport()->width() / 2;
    m_pTable->setColumnWidth(0, half);
    m_pTable->setColumnWidth(1, half);
  } else {
    m_pOperatorLogOut->setEnabled(false);
    InsertVisitorColumns();
  }
}

void CMainDlg::CacheDetails(const VisitorDetails& details, const QString& sessionId) {
  m_detailsCache.insert(sessionId, details);
}

void CMainDlg::OnLogOutButton() { LogOut(true); }

void CMainDlg::LogOut(bool bForgetLogin) { EndSession(bForgetLogin, false); }

void CMainDlg::EndSession(bool bForgetLogin, bool bToldByServer) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_pLogOut->setEnabled(false);
  if (bForgetLogin) CSavedCredentials::Forget();
  if (!bToldByServer) {
    QString reply;
    m_engine.RequestSync(CStringTable::Format(IDS_REQ_LOG_OUT, {CChatManager::UrlEncode(m_strLoginId), m_strSiteId}),
                         reply);
  }
  // From here on no reply reaches any window of the session.
  m_engine.SetClosing();
  m_refreshTimer.stop();
  m_detailsCache.clear();
  if (bToldByServer)
    CDesktopServices::Get().MessageBox(this, QStringLiteral("You have been logged out."), QStringLiteral("Logged Out"),
                                       CDesktopServices::Icon::Information);
  done(QDialog::Accepted);
}

void CMainDlg::accept() {}

void CMainDlg::reject() { LogOut(false); }

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  // Escape never closes the console, nor does Enter.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
