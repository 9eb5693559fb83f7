#pragma once

#include <QLabel>

// The label that paints only its text, so the parent's
// background (a bitmap, for example) shows around and between the letters.
// The drawing follows the Windows static-control style bits, set with
// SetStaticStyle; the text is set as for any label (setText).
class CTransparentStatic : public QLabel {
  Q_OBJECT

 public:
  // The static styles the drawing reads (values of the Windows SS_ bits).
  enum StaticStyle : unsigned {
    SS_LEFT = 0x0000,
    SS_CENTER = 0x0001,
    SS_RIGHT = 0x0002,
    SS_SIMPLE = 0x000B,
    SS_LEFTNOWORDWRAP = 0x000C,
    SS_TYPEMASK = 0x001F,
    SS_NOPREFIX = 0x0080,
    SS_CENTERIMAGE = 0x0200,
    SS_ENDELLIPSIS = 0x4000,
    SS_PATHELLIPSIS = 0x8000,
    SS_WORDELLIPSIS = 0xC000,
    SS_ELLIPSISMASK = 0xC000,
  };

  explicit CTransparentStatic(QWidget* parent = nullptr);
  explicit CTransparentStatic(const QString& text, QWidget* parent = nullptr);
  ~CTransparentStatic() override;

  void SetStaticStyle(unsigned style);

  // The QPainter text flags the style gives, and whether (and how) the text
  // is elided: Qt::ElideNone, ElideRight or ElideMiddle.
  int TextFlags() const;
  Qt::TextElideMode ElideMode() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  unsigned m_style = SS_LEFT;
};
