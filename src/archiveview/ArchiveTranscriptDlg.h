#pragma once

#include "ArchiveRecords.h"

#include <QDialog>

class CChatArchive;
class CChatRichEd;
class QLabel;
class QPushButton;

// One archived chat, read-only: its facts at the top, its lines drawn as
// the chat window draws them (speaker colours, links, emoticons), the
// searched words highlighted and the first matching line in view. Copy is
// the view's own; Export writes the chat to a file the operator names.
// The lines come from the archive a moment after the window opens. Not
// modal; it frees itself when closed.
class CArchiveTranscriptDlg : public QDialog {
  Q_OBJECT

 public:
  static const QString kPlacementName;

  // `words`: what was searched, to highlight; `firstMatch`: the line to
  // show (0: the start).
  CArchiveTranscriptDlg(CChatArchive& archive, const ArchiveChat& chat, const QString& words, qint64 firstMatch);
  // Open still (the console logged out): its place is kept as on closing.
  ~CArchiveTranscriptDlg() override;

  const ArchiveChat& Chat() const { return m_chat; }
  // Shows another search's words and match in the lines already drawn.
  void ShowMatch(const QString& words, qint64 firstMatch);

 public slots:
  // Asks for a file and writes the chat to it; a failed write is said.
  void Export();

 protected:
  void done(int result) override;

 private:
  void ShowLines(const QList<ArchiveLine>& lines);
  void Highlight();

  ArchiveChat m_chat;
  QList<ArchiveLine> m_lines;
  QList<int> m_firstBlocks;  // the view's first block of each line
  QString m_strWords;
  qint64 m_nFirstMatch;
  QLabel* m_pFacts;
  CChatRichEd* m_pView;
  QPushButton* m_pExport;
};
