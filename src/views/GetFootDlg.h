#pragma once

#include <QWidget>

class QTableWidget;
struct FootPrintsReply;

// The foot-prints panel: the pages one visitor has visited, each with the
// time spent on it. A double click on a row, or Enter in the list, opens the
// page in the desktop's browser (web and mail addresses only).
class CGetFootDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CGetFootDlg(QWidget* parent = nullptr);

  // Fills the list with a visitor's foot prints. A mode below 0 resets the
  // list to its one bare column. The list is emptied before any new rows,
  // and a failed request shows as an empty list.
  void ShowFootPrints(int mode, const FootPrintsReply& reply, const QString& visitorName);
  // The same from the reply's text, for the console window, which still
  // hands over the text; the separator is always the field separator.
  void ShowFootPrints(int mode, const QString& reply, const QString& separator, bool bHasRows,
                      const QString& visitorName);

  QTableWidget* List() const { return m_pList; }
  // Opens the page of the selected row, when there is one to open.
  void OpenSelectedPage();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetColumnWidths();

  QTableWidget* m_pList;
};
