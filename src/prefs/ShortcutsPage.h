#pragma once

#include "Shortcuts.h"

#include <QWidget>

class QKeySequenceEdit;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The preferences' page of the commands' keys: the commands with their
// keys, a box that takes the next key pressed for the chosen one, Reset (to
// its default) and Reset All. A key that is refused (a clash, a key the
// windows need) is not taken and the page says why, naming the other
// command. Changes go to a working copy; the dialog's OK stores it.
class CShortcutsPage : public QWidget {
  Q_OBJECT

 public:
  explicit CShortcutsPage(QWidget* parent = nullptr);

  const CShortcuts::Keys& Keys() const { return m_keys; }
  // Stores the working copy (the dialog's OK).
  void Store() const;

 public slots:
  // Gives the chosen command `key`, or says why not.
  void Choose(const QKeySequence& key);
  void OnReset();
  void OnResetAll();

 private:
  void ShowKeys();
  void ShowChosen();
  QString CurrentId() const;
  void ShowRefusal(const QString& sentence);

  CShortcuts::Keys m_keys;
  QTreeWidget* m_pList;
  QKeySequenceEdit* m_pKeyEdit;
  QLabel* m_pRefusal;
};
