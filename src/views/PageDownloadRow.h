#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// One download of a server page, at the foot of the page's window: the file
// it goes to, its progress and a Cancel button while it runs, and how it
// ended after.
class CPageDownloadRow : public QWidget {
  Q_OBJECT

 public:
  CPageDownloadRow(const QString& path, std::function<void()> cancel, QWidget* parent = nullptr);

  // total is -1 while the size is unknown.
  void ShowProgress(qint64 received, qint64 total);
  void ShowEnd(bool bSaved, const QString& reason);

  QString Text() const;
  bool IsRunning() const;

 private:
  QString m_strPath;
  QLabel* m_pText;
  QProgressBar* m_pProgress;
  QPushButton* m_pCancel;
};
