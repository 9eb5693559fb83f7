#include "ShortcutsPage.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

namespace {

enum Column { NameColumn = 0, KeyColumn = 1 };

// Takes one key and hands it over at once, instead of waiting a second for
// more chords. Tab and Shift+Tab still move on and Escape gives up, so the
// keyboard never gets stuck in the box; Backspace, Delete and the box's
// clear button take the key away.
class CKeyEdit : public QKeySequenceEdit {
 public:
  CKeyEdit(QWidget* parent, std::function<void(const QKeySequence&)> chosen, std::function<void()> dropped)
      : QKeySequenceEdit(parent), m_chosen(std::move(chosen)), m_dropped(std::move(dropped)) {
    setClearButtonEnabled(true);
    // The box empties itself too as a new key starts: only the clear
    // button's emptying means "no key".
    connect(this, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& key) {
      if (key.isEmpty() && !m_bInKeyPress) m_chosen(key);
    });
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
      const bool shift = key->modifiers() & Qt::ShiftModifier;
      if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        focusNextPrevChild(key->key() == Qt::Key_Tab && !shift);
        return true;
      }
      if (plain && !shift && key->key() == Qt::Key_Escape) {
        m_dropped();
        return true;
      }
      if (plain && !shift && (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)) {
        m_chosen(QKeySequence());
        return true;
      }
    }
    return QKeySequenceEdit::event(event);
  }

  void keyPressEvent(QKeyEvent* event) override {
    m_bInKeyPress = true;
    QKeySequenceEdit::keyPressEvent(event);
    m_bInKeyPress = false;
    // Empty while only modifiers are down.
    if (!keySequence().isEmpty()) m_chosen(QKeySequence(keySequence()[0]));
  }

 private:
  std::function<void(const QKeySequence&)> m_chosen;
  std::function<void()> m_dropped;
  bool m_bInKeyPress = false;
};

}  // namespace

CShortcutsPage::CShortcutsPage(QWidget* parent) : QWidget(parent), m_keys(CShortcuts::Instance().AllKeys()) {
  // Each mnemonic here differs from the other page's too.
  auto* listLabel = new QLabel(QStringLiteral("Co&mmands"), this);
  m_pList = new QTreeWidget(this);
  m_pList->setObjectName(QStringLiteral("shortcutList"));
  m_pList->setAccessibleName(QStringLiteral("Commands"));
  m_pList->setRootIsDecorated(false);
  m_pList->setHeaderLabels({QStringLiteral("Command"), QStringLiteral("Shortcut")});
  m_pList->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
  m_pList->header()->setSectionResizeMode(KeyColumn, QHeaderView::ResizeToContents);
  m_pList->header()->setStretchLastSection(false);
  listLabel->setBuddy(m_pList);
  for (const CShortcuts::Command& command : CShortcuts::Commands()) {
    auto* item = new QTreeWidgetItem(m_pList, {command.name});
    item->setData(NameColumn, Qt::UserRole, command.id);
  }

  auto* keyLabel = new QLabel(QStringLiteral("&Press the new key:"), this);
  // After a key the keyboard goes back to the list, where the Alt+letters
  // work again.
  m_pKeyEdit = new CKeyEdit(
      this,
      [this](const QKeySequence& key) {
        Choose(key);
        m_pList->setFocus();
      },
      [this] {
        ShowChosen();
        m_pList->setFocus();
      });
  m_pKeyEdit->setObjectName(QStringLiteral("shortcutEdit"));
  m_pKeyEdit->setAccessibleName(QStringLiteral("Shortcut"));
  keyLabel->setBuddy(m_pKeyEdit);
  // The box inside shows the key: a screen reader names it too.
  for (QLineEdit* inner : m_pKeyEdit->findChildren<QLineEdit*>()) inner->setAccessibleName(m_pKeyEdit->accessibleName());
  auto* reset = new QPushButton(QStringLiteral("Reset to De&fault"), this);
  auto* resetAll = new QPushButton(QStringLiteral("Reset A&ll"), this);
  for (QPushButton* button : {reset, resetAll}) button->setAutoDefault(false);
  m_pRefusal = new QLabel(this);
  m_pRefusal->setObjectName(QStringLiteral("shortcutRefusal"));
  m_pRefusal->setTextFormat(Qt::PlainText);
  m_pRefusal->setWordWrap(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(listLabel, 0, 0, 1, 3);
  grid->addWidget(m_pList, 1, 0, 1, 3);
  grid->addWidget(keyLabel, 2, 0);
  grid->addWidget(m_pKeyEdit, 2, 1, 1, 2);
  grid->addWidget(reset, 3, 1);
  grid->addWidget(resetAll, 3, 2);
  grid->addWidget(m_pRefusal, 4, 0, 1, 3);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 1);

  connect(m_pList, &QTreeWidget::currentItemChanged, this, [this] {
    ShowRefusal(QString());
    ShowChosen();
  });
  connect(reset, &QPushButton::clicked, this, &CShortcutsPage::OnReset);
  connect(resetAll, &QPushButton::clicked, this, &CShortcutsPage::OnResetAll);
  ShowKeys();
  m_pList->setCurrentItem(m_pList->topLevelItem(0));
}

void CShortcutsPage::Store() const { CShortcuts::Instance().Store(m_keys); }

QString CShortcutsPage::CurrentId() const {
  const QTreeWidgetItem* item = m_pList->currentItem();
  return item ? item->data(NameColumn, Qt::UserRole).toString() : QString();
}

void CShortcutsPage::ShowKeys() {
  for (int row = 0; row < m_pList->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = m_pList->topLevelItem(row);
    const QString id = item->data(NameColumn, Qt::UserRole).toString();
    item->setText(KeyColumn, m_keys.value(id).toString(QKeySequence::NativeText));
  }
}

void CShortcutsPage::ShowChosen() {
  const QSignalBlocker quiet(m_pKeyEdit);
  m_pKeyEdit->setKeySequence(m_keys.value(CurrentId()));
}

void CShortcutsPage::Choose(const QKeySequence& key) {
  const QString id = CurrentId();
  if (id.isEmpty()) return;
  const QString refusal = CShortcuts::Refusal(m_keys, id, key);
  ShowRefusal(refusal);
  if (refusal.isEmpty()) {
    m_keys[id] = CShortcuts::Normalised(key);
    ShowKeys();
  }
  ShowChosen();
}

void CShortcutsPage::ShowRefusal(const QString& sentence) {
  m_pRefusal->setText(sentence);
  // Read out with the key box, where the keyboard was.
  m_pKeyEdit->setAccessibleDescription(sentence);
}

void CShortcutsPage::OnReset() {
  const QString id = CurrentId();
  if (const CShortcuts::Command* command = CShortcuts::Find(id)) Choose(command->defaultKey);
}

void CShortcutsPage::OnResetAll() {
  m_keys = CShortcuts::Defaults();
  ShowRefusal(QString());
  ShowKeys();
  ShowChosen();
}
