#pragma once

#include <QDialog>

// The About box: the application's icon, its version and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  static QString VersionLine();
};
