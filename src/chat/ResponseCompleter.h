#pragma once

#include "CannedLists.h"

#include <QList>
#include <QObject>

class CMySpellEditCtrl;
class QListWidget;

// The canned responses at the caret: "/" typed at the start of a word in
// the entry box opens a small list of the responses whose title or text holds
// every word typed after it (letter case and accents aside, as the tool
// column's filter finds them); Up and Down choose, Enter or Tab put the
// chosen response's text in place of the "/words" as one step that Ctrl+Z
// takes back, Escape closes the list and leaves the draft as it is.
//
// The list never takes the keyboard: it is a child of the chat window that
// takes no focus, and the entry box's keys come here first only while it is
// shown, so Enter sends and Escape clears as ever when it is not.
class CResponseCompleter : public QObject {
  Q_OBJECT

 public:
  explicit CResponseCompleter(CMySpellEditCtrl* entry);

  void SetResponses(const QList<CannedResponse>& responses);
  bool IsOpen() const;
  QListWidget* List() const { return m_pList; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Opens, narrows or closes the list for the "/words" before the caret.
  void Update(bool textChanged);
  // Where the "/words" before the caret start (the "/"), or -1.
  int SlashBeforeCaret() const;
  void Choose(int row);
  void Close();
  void Place();

  CMySpellEditCtrl* m_pEntry;
  QListWidget* m_pList;
  QList<CannedResponse> m_responses;
  QList<int> m_shown;  // the responses of the list's rows
  int m_nSlash = -1;   // the "/" of the open list
  int m_nDismissed = -1;  // the "/" whose list Escape closed
};
