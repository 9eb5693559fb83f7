#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include "ConsoleSession.h"
#include "WindowUnits.h"

class CVisitorDtlsDlg;
class FooButton;
class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableView;
class QWidget;

// The console window's controls and their places: built once, then laid
// out again as the window grows. Controls keep their place, move with the
// right or bottom edge, or grow with the window; the bottom row of buttons
// stays centred.
class CConsoleLayout {
 public:
  // How a control follows the window's growth beyond its first size.
  enum Anchor { Fixed = 0, MoveX = 1, MoveY = 2, GrowWidth = 4, GrowHeight = 8 };
  // Where the details or the foot prints of the selected visitor show, at
  // the first size of the window. Like every place given to Place(), in
  // pixels at the first base units; Place() scales it to the window's font.
  static constexpr QRect kInfoPanel{0, 345, 800, 200};

  // Makes the controls on the window; the table shows the visitors.
  void Build(QDialog* window, QAbstractItemModel* visitors);
  void Place(QWidget* widget, const QRect& where, int anchor);
  // After the window's size changed: the anchors, the bottom row, and the
  // table's columns in their shares.
  void FollowSize();
  // The row of bottom buttons: all as wide as "Control Panel", or as the
  // widest text where the font needs more.
  void LayOutBottomButtons();
  // The tab buttons show the view.
  void ShowView(CConsoleSession::View view);

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
  FooButton* AddButton(const QString& text, const QRect& where, int anchor);
  QRect Anchored(const Placed& placed) const;
  // How far the window's height is from its first height, as the controls
  // below the table follow it (never more than the table can give).
  int GrowthY() const;

  QDialog* m_pWindow = nullptr;
  QList<Placed> m_placed;
  CWindowUnits m_units{QFont()};  // of the window's font
  QSize m_baseSize;
  int m_nTableGives = 0;  // pixels of height the table may give up
  int m_nTableWidth = 0;
};
