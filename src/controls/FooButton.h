#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include <utility>

// The general owner-drawn button: twelve types, four text
// styles, three focus styles, an optional bitmap with a transparent colour,
// a gradient face, hot tracking and radio groups.
//
// Check buttons (types 7 to 10) keep their own checked state: a click
// (mouse, Space or mnemonic) runs Check() before clicked() is emitted, so a
// clicked() handler reads the new state with IsChecked().
//
// Mended: a group is the set of buttons with the same group name inside one
// top-level window (two chat windows each have their own group "2"), and a
// destroyed button leaves its group.
class FooButton : public QPushButton {
  Q_OBJECT

 public:
  enum Type {
    Static = 0,
    PushButton = 1,
    HotPushButton = 2,
    PushButtonDropDown = 3,
    HotPushButtonDropDown = 4,
    SplitPushButton = 5,
    HotSplitPushButton = 6,
    CheckPushButton = 7,
    HotCheckPushButton = 8,
    CheckBox = 9,
    RadioButton = 10,
    Hyperlink = 11,
  };
  enum TextStyle { NoText = 0, SingleLineLeft = 1, SingleLineCentre = 2, MultiLine = 3 };
  enum FocusStyle { NoFocusRect = 0, FocusRect = 1, FocusRectAndDefault = 2 };

  // The width of the arrow part of a split button that a press lands in.
  static constexpr int kArrowHitWidth = 18;

  explicit FooButton(QWidget* parent = nullptr);
  explicit FooButton(const QString& text, QWidget* parent = nullptr);
  ~FooButton() override;

  void SetType(int type);
  int GetType() const { return m_nType; }
  void SetTextStyle(int style);
  void SetFocusStyle(int style);
  // An invalid colour means COLOR_BTNTEXT (the palette's ButtonText).
  void SetTextColor(const QColor& colour);
  QColor GetTextColor() const { return m_textColor; }
  // Bitmap resource by id (0: none); pixels of the transparent colour are
  // not drawn. A missing resource is simply not drawn.
  void SetBitmap(int id, const QColor& transparent = QColor(255, 0, 255));
  // The same with a picture of the caller's.
  void SetBitmapImage(const QImage& image, const QColor& transparent = QColor(255, 0, 255));
  int GetBitmapId() const { return m_nBitmapId; }
  void SetGradient(bool on);

  // Types 7 to 10 only. Checking a button with a group name unchecks the
  // other checked buttons of its group.
  void Check(bool checked);
  bool IsChecked() const { return m_bChecked; }

  // False for an empty name; otherwise leaves the old group and joins this one.
  bool SetGroup(const QString& name);
  QString GetGroup() const { return m_strGroup; }

  // The text area of step 5 of the drawing, without the pressed offset; the
  // focus rectangle lies 4 pixels inside it.
  QRect TextArea() const;

  static bool IsHotType(int type) { return type == 2 || type == 4 || type == 6 || type == 8; }
  static bool IsSplitType(int type) { return type == 5 || type == 6; }
  static bool IsDropDownType(int type) { return type == 3 || type == 4; }
  static bool IsCheckType(int type) { return type >= 7 && type <= 10; }

 signals:
  // A click that was pressed and released on the arrow part of a split button.
  void arrowClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The face's gradient (top, bottom) and the text colour that reads on it.
  std::pair<QColor, QColor> GradientColours() const;
  QColor TextColour() const;
  void Init();
  void OnClicked();
  void SetCheckedState(bool checked);
  QRect BitmapRect() const;  // unshifted; empty without a bitmap
  void DrawFrame(QPainter& p);
  void DrawTextPart(QPainter& p, const QRect& area, bool shifted);

  int m_nType = 1;
  int m_nTextStyle = 2;
  int m_nFocusStyle = 0;
  QColor m_textColor;
  int m_nBitmapId = 0;
  QPixmap m_bitmap;  // keyed
  bool m_bGradient = false;
  bool m_bChecked = false;
  bool m_bTracking = false;
  bool m_bArrowPressed = false;
  QString m_strGroup;
};
