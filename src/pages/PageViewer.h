#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QSocketNotifier;
class CWebBrowserDlg;

// The page viewer's side of the channel to the console: one command a line
// on standard input, one report a line on standard output.
//
//   console -> viewer   open <id> <small 0|1> <quietly 0|1> <address>
//                       close <id>
//   viewer  -> console  shown <id>        the page's window is up
//                       closed <id>       the operator closed it, or it was
//                                         refused (not an http(s) address)
//
// The viewer ends a short while after its last page closed, once no new page
// came, and when the console is gone and no page is left.
class CPageViewer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIdleExitMs = 3000;

  // Reads commands from the file descriptor input (standard input in the
  // program) and writes reports to output.
  CPageViewer(int input, FILE* output);

  // The console's pages and the windows they opened.
  int WindowCount() const { return int(m_pages.size() + m_opened.size()); }

 private:
  void ReadCommands();
  void Run(const QByteArray& line);
  void Report(const char* what, const QByteArray& id);
  // Keeps the windows that window opens, as windows of the console's page id.
  void Follow(CWebBrowserDlg* window, const QByteArray& id);
  void QuitWhenIdle();

  int m_input;
  FILE* m_output;
  QSocketNotifier* m_pNotifier;
  QByteArray m_pending;  // a command not yet ended by its line feed
  QHash<QByteArray, QPointer<CWebBrowserDlg>> m_pages;
  // Windows opened by the pages, with the console's page each belongs to.
  QHash<CWebBrowserDlg*, QByteArray> m_opened;
  QTimer m_idle;
  bool m_bConsoleGone = false;
};
