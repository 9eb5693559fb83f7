#pragma once

#include "VisitorDetails.h"

#include <QWidget>

#include <array>

class CElidedLabel;
class CMyHyperLink;
class QLabel;

// The visitor details panel: the nineteen facts of one visitor, each under
// its label, the values in dark blue. The page, the referrer and the e-mail
// address are links, shown only when they are not empty. The console shows
// one below its table and every chat window embeds one of its own. A value
// wider than its place ends in "…"; its tooltip and a copy (Ctrl+C, or
// "Copy" in its menu) give it whole. The links take the keyboard focus by
// Tab; a value takes it by a click.
class CVisitorDtlsDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CVisitorDtlsDlg(QWidget* parent = nullptr);

  void ShowDetails(const VisitorDetails& details);
  const VisitorDetails& Details() const { return m_details; }

  // The control showing a field, and the label beside it.
  CElidedLabel* Value(int field) const { return m_values[size_t(field)]; }
  QLabel* Label(int field) const { return m_labels[size_t(field)]; }
  CMyHyperLink* UrlLink() const { return m_pUrl; }
  CMyHyperLink* ReferrerLink() const { return m_pReferrer; }
  CMyHyperLink* EmailLink() const { return m_pEmail; }

  static const QColor kValueColour;

 protected:
  // Escape must not reach the window around the panel (a chat window
  // would close).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  VisitorDetails m_details;
  std::array<CElidedLabel*, VisitorDetails::kFieldCount> m_values{};
  std::array<QLabel*, VisitorDetails::kFieldCount> m_labels{};
  CMyHyperLink* m_pUrl;
  CMyHyperLink* m_pReferrer;
  CMyHyperLink* m_pEmail;
};
