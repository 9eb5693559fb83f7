#include "PopUpDlg.h"

#include "ControlArt.h"
#include "OutsideText.h"
#include "ResourceArt.h"
#include "WindowUnits.h"
#include "X11Window.h"
#include "ThemeColours.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kNoticeGap = 4;  // between two notices, one above the other

}  // namespace

CPopUpDlg::CPopUpDlg(const QString& text, bool bOperator, std::function<void()> accept, const QList<QRect>& shown)
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
  // Said in the window list and by a screen reader; the task bar is not
  // cluttered by notices.
  setWindowTitle(bOperator ? QStringLiteral("Operator chat request - Talvero") : QStringLiteral("Chat request - Talvero"));
  CX11Window::SkipTaskBar(this);

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
    move(StackPlace(size(), screen->availableGeometry(), shown));
}

QString CPopUpDlg::Text() const { return m_pText->text(); }

QPoint CPopUpDlg::CornerPlace(const QSize& size, const QRect& workArea) {
  return workArea.bottomRight() - QPoint(size.width() - 1, size.height() - 1);
}

QPoint CPopUpDlg::StackPlace(const QSize& size, const QRect& workArea, const QList<QRect>& shown) {
  QRect place(CornerPlace(size, workArea), size);
  // Up past each notice in the way, until none is; at most once per notice.
  for (int moves = 0; moves <= shown.size(); ++moves) {
    const QRect withGap = place.adjusted(0, -kNoticeGap, 0, kNoticeGap);
    const auto blocking = std::find_if(shown.begin(), shown.end(), [&](const QRect& r) { return r.intersects(withGap); });
    if (blocking == shown.end()) return place.top() >= workArea.top() ? place.topLeft() : CornerPlace(size, workArea);
    place.moveBottom(blocking->top() - 1 - kNoticeGap);
  }
  return CornerPlace(size, workArea);
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
