#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include "ConsoleSession.h"
#include "WindowUnits.h"

class CVisitorDtlsDlg;
class FooButton;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableView;
class QWidget;

// The console window's controls and their places: built once, then laid
// out again as the window's size changes. Controls keep their place, move
// with the right edge, the table's bottom or the window's bottom, or grow
// with the window; the bottom row of buttons stays centred. The height is
// shared between the table and the panel below it: the table keeps room for
// eight rows while the panel shrinks to what its texts need; below that the
// panel collapses (unless the operator asked for it), and only then do the
// table's rows go. Taller windows give the table the rest.
class CConsoleLayout {
 public:
  // How a control follows the window's size. MoveY: with the table's bottom
  // edge; MoveBottom: with the window's bottom edge; PanelHeight: takes the
  // height of the panel below the table.
  enum Anchor { Fixed = 0, MoveX = 1, MoveY = 2, GrowWidth = 4, GrowHeight = 8, MoveBottom = 16, PanelHeight = 32 };
  // The rows the table keeps where the window has room, and the fewest it
  // is left with.
  static constexpr int kTableRows = 8;
  static constexpr int kLeastTableRows = 3;
  // Where the details or the foot prints of the selected visitor show, at
  // the first size of the window. Like every place given to Place(), in
  // pixels at the first base units; Place() scales it to the window's font.
  static constexpr QRect kInfoPanel{0, 345, 800, 200};

  // Makes the controls on the window; the console's table gives the table
  // its rows.
  void Build(QDialog* window);
  void Place(QWidget* widget, const QRect& where, int anchor);
  // After the window's size changed: the anchors, the bottom row, and the
  // table's columns in their shares.
  void FollowSize();
  // The row of bottom buttons: all as wide as "Control Panel", or as the
  // widest text where the font needs more.
  void LayOutBottomButtons();
  // The tab buttons show the view.
  void ShowView(CConsoleSession::View view);
  // The operator chose what the panel below the table shows (the details or
  // the foot prints): it shows, the other one hides. A panel asked for
  // while collapsed takes room from the table's rows from then on.
  void ShowInfoPanel(QWidget* panel);
  QWidget* InfoPanel() const { return m_pInfoPanel; }

  // The buttons under the table; in the Operators view Accept, Busy and
  // Invite carry the operator commands Accept Chat, Deny and Request Chat.
  FooButton* ViewDetailsButton() const { return visitorButtons[0]; }
  FooButton* FootPrintsButton() const { return visitorButtons[1]; }
  FooButton* AcceptButton() const { return visitorButtons[2]; }
  FooButton* BusyButton() const { return visitorButtons[3]; }
  FooButton* InviteButton() const { return visitorButtons[4]; }
  FooButton* DeleteButton() const { return visitorButtons[5]; }
  FooButton* JoinButton() const { return visitorButtons[6]; }
  FooButton* BlockIpButton() const { return visitorButtons[7]; }
  FooButton* PreferencesButton() const { return bottomButtons[0]; }
  FooButton* ViewMessageButton() const { return bottomButtons[1]; }
  FooButton* TranscriptsButton() const { return bottomButtons[3]; }
  QList<FooButton*> TabButtons() const { return {tabAll, tabChats, tabOperators}; }

  QLabel* siteUrl = nullptr;
  QLabel* account = nullptr;  // "login (site) "
  QLabel* padlock = nullptr;
  QRadioButton* online = nullptr;
  QRadioButton* offline = nullptr;
  FooButton* tabAll = nullptr;
  FooButton* tabChats = nullptr;
  FooButton* tabOperators = nullptr;
  QTableView* table = nullptr;
  QList<FooButton*> visitorButtons;
  QLineEdit* popUrl = nullptr;
  QCheckBox* sameWindow = nullptr;
  FooButton* sendPop = nullptr;
  CVisitorDtlsDlg* details = nullptr;
  QComboBox* operatorsBox = nullptr;
  QLineEdit* message = nullptr;
  FooButton* sendMessage = nullptr;
  QList<FooButton*> bottomButtons;
  FooButton* controlPanel = nullptr;
  FooButton* logOut = nullptr;
  FooButton* operatorLogOut = nullptr;
  QLabel* statusLine = nullptr;

 private:
  struct Placed {
    QWidget* widget;
    QRect base;
    int anchor;
  };
  // The heights of the table and the panel at the window's height.
  struct Split {
    int table;
    int panel;  // 0 when collapsed
  };
  FooButton* AddButton(const QString& text, const QRect& where, int anchor);
  QRect Anchored(const Placed& placed, const Split& split) const;
  Split VerticalSplit() const;
  // The table's height when it shows this many whole rows.
  int TableHeightFor(int rows) const;
  // How far the window's height is from its first height.
  int GrowthY() const;

  QDialog* m_pWindow = nullptr;
  QList<Placed> m_placed;
  CWindowUnits m_units{QFont()};  // of the window's font
  QSize m_baseSize;
  int m_nTableBase = 0;  // the table's and the panel's heights at the first size
  int m_nPanelBase = 0;
  int m_nTableWidth = 0;
  QWidget* m_pInfoPanel = nullptr;
  bool m_bPanelAsked = false;
  bool m_bPanelCollapsed = false;  // at the window's height, no room for the panel
};
