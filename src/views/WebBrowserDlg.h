#pragma once

#include "WebPageFactory.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QUrl>

class QLabel;
class CPageDownloadRow;

// A resizable top-level window showing one server page (transcripts, the
// control panel, a visitor's chat history, the file-transfer form). Each
// call opens a window of its own; it deletes itself when closed. The page
// view comes from the server-page module, loaded with the first window (in
// the page viewer, never in the console); when it cannot be loaded, or the
// viewer cannot show the page, the window says why instead.
//
// Below the page the window says what the page wanted and did not get (an
// address that is not a web page) and shows the page's downloads.
class CWebBrowserDlg : public QDialog, public CWebPageHost {
  Q_OBJECT

 public:
  explicit CWebBrowserDlg(const QUrl& address, QWidget* parent = nullptr);
  // A window in the page's place that gives the reason it is not shown.
  CWebBrowserDlg(const QUrl& address, const QString& reason, QWidget* parent = nullptr);
  ~CWebBrowserDlg() override;

  // Opens a new window for the address: normally sized, or small at the
  // fixed place of the file-transfer page.
  // quietly: shown without taking the keyboard; beside: a window's frame
  // the page opens next to rather than over.
  static CWebBrowserDlg* OpenPage(const QUrl& address, bool smallWindow, bool quietly = false,
                                  const QRect& beside = QRect());
  static CWebBrowserDlg* OpenNotice(const QUrl& address, bool smallWindow, bool quietly, const QString& reason,
                                    const QRect& beside = QRect());

  static constexpr QRect kSmallWindow{665, 515, 310, 130};

  // The page view (a web engine view), or the label with the reason there
  // is none.
  QWidget* Browser() const { return m_pBrowser; }
  // The title of the page shown ("" while loading or without a view).
  QString PageTitle() const;
  const QUrl& Address() const { return m_address; }
  // The last line the window said about the page ("" when none).
  QString Note() const;
  QList<CPageDownloadRow*> Downloads() const;

  // CWebPageHost
  void Refuse(const QUrl& address) override;
  void OpenMail(const QUrl& address) override;
  QWidget* OpenWindow() override;
  void ShowTitle(const QString& title) override;
  QString AskWhereToSave(const QString& suggestedName) override;
  void DownloadStarted(int download, const QString& path, std::function<void()> cancel) override;
  void DownloadProgress(int download, qint64 received, qint64 total) override;
  void DownloadEnded(int download, bool bSaved, const QString& reason) override;

 signals:
  // The page opened a window of its own.
  void WindowOpened(CWebBrowserDlg* window);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  CWebBrowserDlg(const QUrl& address, QWidget* view, QWidget* parent);
  static CWebBrowserDlg* Show(CWebBrowserDlg* dlg, bool smallWindow, bool quietly, const QRect& beside);
  void SetView(QWidget* view);
  void ShowNote(const QString& note);
  void LayOut();

  QWidget* m_pBrowser = nullptr;
  QUrl m_address;
  QWidget* m_pFoot;
  QLabel* m_pNote;
  QHash<int, QPointer<CPageDownloadRow>> m_downloads;
};
