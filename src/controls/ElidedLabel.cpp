#include "ElidedLabel.h"

#include "OutsideText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionFocusRect>

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  // Tab or a click gives the focus: a value can be read out and copied
  // (Ctrl+C) from the keyboard.
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void CElidedLabel::SetFullText(const QString& text) {
  m_strFull = text;
  setText(DisplayedField(text));
}

QRect CElidedLabel::TextRect() const {
  const int m = margin();
  return contentsRect().adjusted(m, m, -m, -m);
}

QString CElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(TextRect().width(), 0));
}

bool CElidedLabel::IsElided() const { return ShownText() != text(); }

QSize CElidedLabel::minimumSizeHint() const {
  // As narrow as the layout wants: the text is elided, never the window widened.
  return QSize(0, QLabel::minimumSizeHint().height());
}

void CElidedLabel::CopyFullText() const { QApplication::clipboard()->setText(m_strFull); }

void CElidedLabel::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopyFullText();
    event->accept();
    return;
  }
  QLabel::keyPressEvent(event);
}

QMenu* CElidedLabel::CreateMenu() {
  auto* menu = new QMenu(this);
  menu->addAction(QStringLiteral("&Copy"), this, &CElidedLabel::CopyFullText)->setEnabled(!m_strFull.isEmpty());
  return menu;
}

void CElidedLabel::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos() : mapToGlobal(rect().bottomLeft());
  menu->popup(at);
  event->accept();
}

void CElidedLabel::paintEvent(QPaintEvent*) {
  // The text as QLabel draws it, cut with "…" where it would not fit.
  QPainter painter(this);
  drawFrame(&painter);
  const int flags = int(QStyle::visualAlignment(layoutDirection(), alignment())) | Qt::TextSingleLine;
  style()->drawItemText(&painter, TextRect(), flags, palette(), isEnabled(), ShownText(), foregroundRole());
  if (!hasFocus()) return;
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.backgroundColor = palette().color(QPalette::Window);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void CElidedLabel::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  update();
}

void CElidedLabel::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  update();
}
