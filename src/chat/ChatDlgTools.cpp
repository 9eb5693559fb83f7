// The chat window's tool column: canned responses and push URLs in a tree
// with a filter, chat transfer, chat history and file transfer.
#include "ChatDlg.h"

#include "DesktopServices.h"
#include "FooButton.h"
#include "MySpellEditCtrl.h"
#include "OperatorBox.h"
#include "ResponseCompleter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

const QString kTalvero = QStringLiteral("Talvero");
constexpr int kToolPressed = 299;
constexpr int kRecordRole = Qt::UserRole;  // the record's index in its list; -1 for a root

QTreeWidgetItem* Item(const QString& label, int record) {
  auto* item = new QTreeWidgetItem(QStringList{label});
  item->setData(0, kRecordRole, record);
  return item;
}

}  // namespace

void CChatDlg::ShowCannedLists() {
  if (Chat() == nullptr) return;
  m_pCompleter->SetResponses(Chat()->Canned().responses);
  // The tree may show either list by now: it is rebuilt for the one shown.
  FillToolTree();
}

void CChatDlg::ShowResponses() { SetToolMode(true); }

void CChatDlg::ShowPushUrls() { SetToolMode(false); }

void CChatDlg::SetToolMode(bool bResponses) {
  m_bResponsesShown = bResponses;
  m_pResponses->Check(bResponses);
  m_pResponses->SetBitmap(bResponses ? kToolPressed : 0);
  m_pPushUrls->Check(!bResponses);
  m_pPushUrls->SetBitmap(bResponses ? 0 : kToolPressed);
  FillToolTree();
}

const CannedLists& CChatDlg::Canned() const {
  // A closing window may outlive its chat by a moment: it shows no lists then.
  static const CannedLists none;
  return Chat() ? Chat()->Canned() : none;
}

void CChatDlg::FillToolTree() {
  const QList<CannedResponse>& responses = Canned().responses;
  const QList<PushUrl>& pushUrls = Canned().pushUrls;
  const QStringList words = FoldedForSearch(m_pFilter->text()).split(u' ', Qt::SkipEmptyParts);
  const QSignalBlocker quiet(m_pTools);  // rebuilding picks nothing
  m_pTools->clear();
  if (m_bResponsesShown) {
    QTreeWidgetItem* root = nullptr;
    for (int i = 0; i < responses.size(); ++i) {
      const CannedResponse& r = responses[i];
      if (!MatchesFilter(words, {r.category, r.title, r.text})) continue;
      // A run of one category is one root; the category coming again later is another.
      if (root == nullptr || root->text(0) != r.category) {
        root = Item(r.category, -1);
        m_pTools->addTopLevelItem(root);
        root->setExpanded(!words.isEmpty() || m_pTools->topLevelItemCount() == 1);
      }
      root->addChild(Item(r.title, i));
    }
  } else {
    QTreeWidgetItem* root = nullptr;
    for (int i = 0; i < pushUrls.size(); ++i) {
      if (!MatchesFilter(words, {pushUrls[i].title, pushUrls[i].url})) continue;
      if (root == nullptr) {
        root = Item(QStringLiteral("Push URLs"), -1);
        m_pTools->addTopLevelItem(root);
        root->setExpanded(true);
      }
      root->addChild(Item(pushUrls[i].title, i));
    }
  }
}

QString CChatDlg::ToolText(const QTreeWidgetItem* item) const {
  // Each item carries its record: two titles alike, or a title equal to a
  // category, still give their own text.
  const int record = item ? item->data(0, kRecordRole).toInt() : -1;
  const CannedLists& canned = Canned();
  if (m_bResponsesShown) return record >= 0 && record < canned.responses.size() ? canned.responses[record].text : QString();
  return record >= 0 && record < canned.pushUrls.size() ? canned.pushUrls[record].url : QString();
}

// A pick goes in at the caret, so a draft around it stays and Ctrl+Z takes
// the pick back. It is made by a click or Enter, not by the selection
// moving: arrowing through the tree inserts nothing, and the same entry
// can be picked twice in a row.
void CChatDlg::PickTreeItem() {
  const QString text = ToolText(m_pTools->currentItem());
  if (text.isEmpty() || m_pEntry->isReadOnly()) return;  // a category: the keyboard stays in the tree
  m_pEntry->InsertAtCaret(text);
  m_pEntry->setFocus();
}

void CChatDlg::PickFirstMatch() {
  for (int i = 0; i < m_pTools->topLevelItemCount(); ++i) {
    QTreeWidgetItem* root = m_pTools->topLevelItem(i);
    if (root->childCount() > 0) {
      m_pTools->setCurrentItem(root->child(0));
      PickTreeItem();
      return;
    }
  }
}

void CChatDlg::TransferChat() {
  if (Chat() == nullptr) return;
  CDesktopServices& desktop = CDesktopServices::Get();
  if (m_pOperators->currentIndex() < 0) {
    const QString text = QStringLiteral("Please select an operator!");
    m_pStatusLine->setText(text);
    desktop.MessageBox(this, text, kTalvero, CDesktopServices::Icon::Exclamation);
    m_pOperators->setFocus();  // the choice is the operator's to make
    return;
  }
  if (m_pOperators->currentData(kOperatorOfflineRole).toBool()) {
    desktop.MessageBox(this, QStringLiteral("Chat Cannot be transferred to an offline operator"), kTalvero,
                       CDesktopServices::Icon::Exclamation);
    return;
  }
  m_pTransfer->setEnabled(false);  // one request out at a time
  Chat()->Transfer(m_pOperators->currentData().toString());
}

// A transfer that did not happen is said (the session puts it among the
// lines too); one that did ends the chat here.
void CChatDlg::OnTransferFailed(const QString& text) {
  m_pTransfer->setEnabled(Chat() != nullptr && Chat()->IsLive());
  m_pStatusLine->setText(text);
}

void CChatDlg::ShowChatHistory() {
  if (Chat()) Chat()->OpenChatHistory();
}

void CChatDlg::SetEarlierChats(std::function<void(QWidget* button)> show) {
  m_showEarlierChats = std::move(show);
  m_pEarlier->setEnabled(bool(m_showEarlierChats));
}

void CChatDlg::ShowEarlierChats() {
  if (m_showEarlierChats) m_showEarlierChats(m_pEarlier);
}

void CChatDlg::OpenFileTransfer() {
  if (Chat()) Chat()->OpenFileTransfer();
}

bool CChatDlg::TreeKey(QKeyEvent* key) {
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (m_pTools->currentItem() != nullptr && m_pTools->currentItem()->childCount() == 0) PickTreeItem();
  return true;
}

bool CChatDlg::FilterKey(QKeyEvent* key) {
  if (key->key() == Qt::Key_Escape) {
    m_pFilter->clear();
    return true;
  }
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    PickFirstMatch();
    return true;
  }
  return false;
}
