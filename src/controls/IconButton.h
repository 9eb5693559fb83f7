#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>

// The push button with an icon and text (the chat window's
// "Emoticons" and "File Transfer"). The text is the button's text; its first
// ampersand marks the mnemonic, drawn as a 1-pixel underline.
class CIconButton : public QPushButton {
  Q_OBJECT

 public:
  explicit CIconButton(QWidget* parent = nullptr);
  explicit CIconButton(const QString& text, QWidget* parent = nullptr);
  ~CIconButton() override;

  // Icon resource ":/icons/<id>.png" (0: no icon; a missing resource is not drawn).
  void SetIconId(int id);
  // The same with an icon of the caller's.
  void SetIconImage(const QIcon& icon);
  // Drawn size; a size of 0 draws at 32.
  void SetIconSize(int cx, int cy);
  // An invalid colour means COLOR_BTNTEXT.
  void SetTextColor(const QColor& colour);
  QColor GetTextColor() const { return m_textColor; }

  // Where the text goes for the current size, text and font (unpressed).
  QRect TextRect() const;
  // The rectangle of the mnemonic underline, empty without a mnemonic.
  QRect MnemonicRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Layout {
    QString text;       // without its first ampersand
    int mnemonic = -1;  // index of the underlined character, or -1
    QRect icon, text_;
  };
  Layout Compute() const;

  QIcon m_icon;
  int m_cx = 32;  // SM_CXICON
  int m_cy = 32;  // SM_CYICON
  QColor m_textColor;
};
