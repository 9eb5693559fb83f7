#pragma once

#include "ElidedLabel.h"
#include "OutsideText.h"

#include <QColor>
#include <QCursor>
#include <QLabel>

// The link label: underlined text in the normal, hover or
// visited colour, cursor 161 while it has a target, its text as a tooltip,
// and a click that opens the target.
//
// Hover follows the enter and leave events (no mouse grab). The text and
// the tooltip are plain text. A click opens the target only when it is an
// http, https, ftp or mailto address ("www." gets "http://"), through
// CLinkOpener; the link becomes visited either way.
//
// Visited is a state of the address, not of the control: once an address
// has been opened, every link to it shows the visited colour, and a link
// given another address shows that address's state. The link takes the
// keyboard focus: Enter or Space opens it, Ctrl+C (or "Copy" in its menu)
// copies the whole text; a text wider than the link ends in "…".
class CMyHyperLink : public CElidedLabel {
  Q_OBJECT

 public:
  explicit CMyHyperLink(QWidget* parent = nullptr);
  ~CMyHyperLink() override;

  void SetUrl(const QString& url);
  QString GetUrl() const { return m_strUrl; }
  // Text, target and tooltip at once.
  void SetLink(const QString& text);
  // Text, and "mailto:" + text as the target when the text is not empty.
  void SetMailLink(const QString& text);
  QString GetLinkText() const { return m_strText; }
  // What a click does (a screen reader's "press" too): opens the target and
  // marks the address visited.
  void Click() { OnClicked(); }

  QColor CurrentColour() const;
  // Whether the link's address has been opened in this run, by any link.
  bool IsVisited() const;

 signals:
  // After a click was handled (whether the target was opened or not).
  void linkClicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnClicked();
  void ApplyColour();
  void Underline();

  QString m_strText;
  QString m_strUrl;
  QColor m_normal{0, 0, 255};
  QColor m_hover{255, 0, 0};
  QColor m_visited{5, 34, 143};
  bool m_bHover = false;
  bool m_bPressed = false;
  bool m_bInFontChange = false;
};
