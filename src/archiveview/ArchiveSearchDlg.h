#pragma once

#include "ArchiveRecords.h"

#include <QDialog>

class CChatArchive;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The search of the archive: the operator types words and sees the chats
// that hold them at once, newest first, each with its visitor, its date and
// its matching lines with the words highlighted. Every change of the words
// or the filters (visitor, first and last day, operator chats only) asks
// the archive anew; an answer to an older question is dropped. Enter or a
// double-click opens the chosen chat whole; "Forget this visitor" removes
// every chat of the chosen chat's visitor, after asking. Not modal.
class CArchiveSearchDlg : public QDialog {
  Q_OBJECT

 public:
  static const QString kPlacementName;

  explicit CArchiveSearchDlg(CChatArchive& archive, QWidget* parent = nullptr);
  // Open still (the console logged out): its place is kept as on closing.
  ~CArchiveSearchDlg() override;

  // The chats shown, in order.
  const QList<ArchiveHit>& Hits() const { return m_hits; }
  // The caret goes to the words, all of them selected for a new search.
  void FocusWords();

 public slots:
  // Asks the archive for what the words and filters say now.
  void Search();
  // Opens the chosen chat (the first, when none is chosen); with a search
  // still out, the first chat of its answer.
  void OpenChosen();
  void ForgetVisitor();

 signals:
  // The operator wants this chat whole; `words` and the line to show.
  void OpenChat(const ArchiveChat& chat, const QString& words, qint64 firstMatch);
  // The answer to the newest search is shown.
  void ResultsShown();

 protected:
  void done(int result) override;

 private:
  void ShowHits(const QList<ArchiveHit>& hits);
  void UpdateButtons();
  ArchiveQuery Query() const;

  CChatArchive& m_archive;
  QList<ArchiveHit> m_hits;
  quint64 m_nAsked = 0;     // searches sent
  quint64 m_nAnswered = 0;  // the newest search whose answer is shown
  bool m_bOpenWhenFound = false;
  QString m_strShownWords;  // the words of the answer shown
  QLineEdit* m_pWords;
  QLineEdit* m_pVisitor;
  QCheckBox* m_pFromOn;
  QDateEdit* m_pFrom;
  QCheckBox* m_pToOn;
  QDateEdit* m_pTo;
  QCheckBox* m_pOperatorChats;
  QListWidget* m_pResults;
  QLabel* m_pStatus;
  QPushButton* m_pOpen;
  QPushButton* m_pForget;
};
