#include "PopUpDlg.h"

#include "ControlArt.h"
#include "OutsideText.h"
#include "ResourceArt.h"
#include "WindowUnits.h"
#include "ThemeColours.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

CPopUpDlg::CPopUpDlg(const QString& text, bool bOperator, std::function<void()> accept, int slot)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_accept(std::move(accept)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAutoFillBackground(true);
  ThemeColours::FollowPalette(this, [this] {
    const QPalette inherited = ThemeColours::InheritedPalette(this);
    const QColor back = ThemeColours::Surface(Qt::white, inherited.color(QPalette::Base), inherited);
    QPalette white = palette();
    white.setColor(QPalette::Window, back);
    white.setColor(QPalette::WindowText, ThemeColours::Readable(QColor(0, 0, 185), back, inherited));
    setPalette(white);
  });
  setCursor(ControlArt::LinkCursor());

  auto* picture = new QLabel(this);
  picture->setPixmap(ResourceArt::Pixmap(ResourceArt::BitmapPath(186)));
  m_pText = new QLabel(this);
  m_pText->setTextFormat(Qt::PlainText);  // the visitor's or operator's text
  m_pText->setWordWrap(true);
  m_pText->setAlignment(Qt::AlignCenter);
  QFont bold = m_pText->font();
  bold.setBold(true);
  m_pText->setFont(bold);
  m_pText->setText((bOperator ? QStringLiteral("Chat Request from Operator: ") : QStringLiteral("Chat Request from: ")) +
                   DisplayedField(text));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(picture);
  layout->addWidget(m_pText, 1);
  // The template's size, taller where a large font or a long text needs it.
  const CWindowUnits du = CWindowUnits::Of(this);
  setFixedSize(du.X(182), std::max(du.Y(40), layout->totalHeightForWidth(du.X(182))));

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(CornerPlace(size(), screen->availableGeometry()) - QPoint(0, slot * (height() + 4)));
}

QString CPopUpDlg::Text() const { return m_pText->text(); }

QPoint CPopUpDlg::CornerPlace(const QSize& size, const QRect& workArea) {
  return workArea.bottomRight() - QPoint(size.width() - 1, size.height() - 1);
}

void CPopUpDlg::Click() {
  // Each notice takes its own request once.
  std::function<void()> accept = std::move(m_accept);
  m_accept = nullptr;
  close();
  if (accept) accept();
}

void CPopUpDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Click();
}
