#pragma once

#include <QLabel>

// A one-line label of outside text that never cuts a value without a sign:
// a value wider than the label ends in "…", and copying (Ctrl+C, or "Copy"
// in its menu) gives the whole value. It takes the keyboard focus, with a
// focus frame, so that a value can be reached and copied from the keyboard.
// The owner sets the tooltip (the whole value, as plain text).
class CElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit CElidedLabel(QWidget* parent = nullptr);

  // The whole value; it is shown plain, without directional controls.
  void SetFullText(const QString& text);
  // What is drawn: the text, or as much of it as fits followed by "…".
  QString ShownText() const;
  bool IsElided() const;
  // Puts the whole value on the clipboard.
  void CopyFullText() const;
  // The menu of the label: "&Copy"; a subclass adds its own items.
  virtual QMenu* CreateMenu();

  QSize minimumSizeHint() const override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QRect TextRect() const;

  QString m_strFull;
};
