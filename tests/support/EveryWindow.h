#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class CChatArchive;
class CChatDlg;
class CSessionFixture;
class QTemporaryDir;

// Every window of the program, opened over a logged-in session and shown,
// with something in each that the window draws in colours of its own: the
// console's table with a chat request and a coloured row, its operators
// with each status, a chat window with visitor details (links included)
// and a line of every colour in its transcript, an operator chat, the two
// as tabs of one window, and the
// login, preferences (each of its pages), about, message, notice,
// foot-prints and emoticon windows, and the archive's search and transcript
// windows over an archive in a temporary folder.
class CEveryWindow {
 public:
  explicit CEveryWindow(CSessionFixture& session);
  ~CEveryWindow();

  // Calls `visit` for each window in turn: the console once in each of its
  // views, then the others. The name says which ("Console/Operators").
  void ForEach(const std::function<void(QWidget* window, const QString& name)>& visit);

  CChatDlg* Chat() const { return m_pChat; }

 private:
  CSessionFixture& m_session;
  CChatDlg* m_pChat = nullptr;
  QString m_operatorsReply;  // the refresh that fills the table in every view
  std::unique_ptr<QTemporaryDir> m_pArchiveDir;
  std::unique_ptr<CChatArchive> m_pArchive;
  std::vector<std::unique_ptr<QWidget>> m_windows;
};
