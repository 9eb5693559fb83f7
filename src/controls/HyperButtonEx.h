#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

// The flat bitmap button with hover tracking and a tooltip (the
// buttons of the emoticon picker). Hover follows the enter and leave
// events; a 100 ms check of the cursor position stays as the fallback for a
// leave that never arrives. The background is the parent's background
// colour (no pixel can be sampled here).
class CHyperButtonEx : public QPushButton {
  Q_OBJECT

 public:
  static constexpr int kHoverCheckMs = 100;

  explicit CHyperButtonEx(QWidget* parent = nullptr);
  ~CHyperButtonEx() override;

  // Bitmap resource ":/bitmaps/<id>.png"; with transparent on, pixels of the
  // key colour are not drawn.
  void SetBitmaps(int id, bool transparent = true, const QColor& key = QColor(192, 192, 192));
  // The same with a picture of the caller's (the emoticon pictures).
  void SetBitmapImage(const QImage& image, bool transparent = true, const QColor& key = QColor(192, 192, 192));
  // An empty text deactivates the tooltip. Invalid colours keep the tooltip's own.
  void SetTooltip(const QString& text, const QColor& background = QColor(), const QColor& textColour = QColor());
  QString GetTooltip() const { return m_strTip; }
  void SetBackgroundColors(const QColor& normal, const QColor& hover);
  QColor GetTextColor() const { return m_textColor; }

  bool IsHovering() const { return m_bHover; }
  bool IsHoverCheckRunning() const { return m_hoverTimer.isActive(); }
  // The tooltip as it would be shown: the text as plain text, in the colours.
  QString TooltipMarkup() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void StartHover();
  void StopHover();
  void CheckHover();

  QColor m_textColor{0, 0, 140};
  QColor m_hoverTextColor{0, 0, 255};
  QColor m_bgColor{255, 255, 255};
  QColor m_hoverBgColor{255, 255, 255};
  QPixmap m_bitmap;  // keyed when transparent
  QString m_strTip = QStringLiteral("Click Here!");
  QColor m_tipBackground;
  QColor m_tipText;
  bool m_bHover = false;
  bool m_bButtonDown = false;
  QTimer m_hoverTimer;
};
