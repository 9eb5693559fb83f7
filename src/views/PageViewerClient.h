#pragma once

#include <QMap>
#include <QObject>
#include <QProcess>
#include <QRect>
#include <QUrl>

// The console's end of the page viewer (talvero-pages): server pages open
// there, so that the web engine never loads into the console. The viewer is
// started with the first page and ends by itself after the last one closed;
// the next page starts it again. When it cannot start, or ends while pages
// are open, the console opens a window of its own in each such page's place
// that says why, and goes on.
class CPageViewerClient : public QObject {
  Q_OBJECT

 public:
  // program: the viewer to start; by default talvero-pages beside this
  // program.
  explicit CPageViewerClient(QString program = DefaultProgram(), QObject* parent = nullptr);
  ~CPageViewerClient() override;

  static QString DefaultProgram();

  // quietly: shown without taking the keyboard (a page nobody asked for);
  // beside: a window's frame the page is placed next to, not over.
  void OpenPage(const QUrl& address, bool smallWindow, bool quietly = false, const QRect& beside = QRect());
  // Closes every page the viewer shows for us; it then ends by itself.
  void CloseAll();

  // Pages asked for and not closed yet.
  int OpenPages() const { return int(m_pages.size()); }
  bool IsViewerRunning() const { return m_process.state() != QProcess::NotRunning; }

 signals:
  // Each report of the viewer: "shown" or "closed", with the page's number.
  void PageReported(const QString& what, int page);

 private:
  struct Page {
    QUrl address;
    bool smallWindow = false;
    bool quietly = false;
    QRect beside;
    bool shown = false;
    bool resent = false;  // sent to a second viewer already
  };

  void Send(int id, const Page& page);
  void ReadReports();
  void ViewerEnded();
  void ViewerFailed(QProcess::ProcessError error);
  void ShowInstead(const QString& reason);

  QString m_program;
  QProcess m_process;
  QMap<int, Page> m_pages;
  int m_nextId = 1;
  bool m_bStopping = false;
};
