#include "EmotionsDlg.h"

#include "WindowUnits.h"
#include "Emoticons.h"
#include "HyperButtonEx.h"
#include "MySpellEditCtrl.h"
#include "ThemeColours.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QColor kFace(235, 233, 219);
const QColor kTipBackground(255, 255, 191);

CHyperButtonEx* PickerButton(QWidget* parent, const QRect& du, const QString& tip) {
  auto* button = new CHyperButtonEx(parent);
  button->setGeometry(CWindowUnits::Of(parent).Rect(du.x(), du.y(), du.width(), du.height()));
  button->SetBackgroundColors(kFace, kFace);
  button->SetTooltip(tip, kTipBackground, Qt::black);
  return button;
}

}  // namespace

CEmotionsDlg::CEmotionsDlg(QWidget* emoticonsButton, CMySpellEditCtrl* entryBox)
    : QWidget(emoticonsButton ? emoticonsButton->window() : nullptr, Qt::Popup), m_pEntry(entryBox) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(CWindowUnits::Of(this).Size(81, 67));
  setAutoFillBackground(true);
  ThemeColours::KeepSurfaceColour(this, kFace, QPalette::Button);

  CHyperButtonEx* close = PickerButton(this, {0, 0, 80, 11}, QStringLiteral("Close"));
  close->setText(QStringLiteral("Close"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  constexpr int kRowY[] = {11, 25, 38, 52};
  for (const EmoticonCode& e : kEmoticons) {
    CHyperButtonEx* b = PickerButton(this, {(e.column - 1) * 20, kRowY[e.row - 1], 20, 14}, QLatin1String(e.name));
    b->SetBitmaps(e.pickerBitmap, true, QColor(192, 192, 192));
    b->setAccessibleName(QLatin1String(e.name));
    const QString code = QLatin1String(e.code);
    connect(b, &QPushButton::clicked, this, [this, code] { InsertEmoticonCode(code); });
  }
}

QPoint CEmotionsDlg::PlaceFor(const QRect& buttonOnScreen, const QSize& pickerSize, const QRect& screen) {
  const QRect place(buttonOnScreen.topLeft() - QPoint(30, 112), pickerSize);
  return CWindowPlacement::ClampTo(place, screen, pickerSize).topLeft();
}

CEmotionsDlg* CEmotionsDlg::Open(QWidget* emoticonsButton, CMySpellEditCtrl* entryBox) {
  auto* picker = new CEmotionsDlg(emoticonsButton, entryBox);
  const QRect button(emoticonsButton->mapToGlobal(QPoint(0, 0)), emoticonsButton->size());
  QScreen* screen = emoticonsButton->screen();
  const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 16, 1 << 16));
  picker->move(PlaceFor(button, picker->size(), area));
  picker->show();
  return picker;
}

void CEmotionsDlg::InsertEmoticonCode(const QString& code) {
  if (m_pEntry) m_pEntry->InsertAtCaret(code);
  close();
}

void CEmotionsDlg::closeEvent(QCloseEvent* event) {
  if (m_pEntry) m_pEntry->setFocus(Qt::PopupFocusReason);
  QWidget::closeEvent(event);
}
