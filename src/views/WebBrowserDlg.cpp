#include "WebBrowserDlg.h"

#include "AppIdentity.h"
#include "DesktopServices.h"
#include "LinkOpener.h"
#include "OutsideText.h"
#include "PageDownloadRow.h"
#include "WindowUnits.h"
#include "WindowPlacement.h"
#include "X11Window.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "WebEngineLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QWidget* MakeReason(const QString& reason) {
  auto* label = new QLabel(QStringLiteral("This page cannot be shown: %1.").arg(reason));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return label;
}

QWidget* MakePageView(const QUrl& address, CWebPageHost* host) {
  QString error;
  if (CWebPageFactory* factory = CWebEngineLoader::Factory(&error)) return factory->CreateView(address, nullptr, host);
  return MakeReason(error);
}

// The file a download is proposed to go to: in folder, under the page's
// name, or under "name (2).ext" and so on where that file exists already.
QString FreeName(const QString& folder, const QString& suggested) {
  QString name = QFileInfo(suggested).fileName();
  if (name.isEmpty()) name = QStringLiteral("download");
  const QDir dir(folder);
  if (!dir.exists(name)) return dir.filePath(name);
  const QFileInfo parts(name);
  const QString suffix = parts.completeSuffix().isEmpty() ? QString() : u'.' + parts.completeSuffix();
  for (int n = 2;; ++n) {
    const QString candidate = QStringLiteral("%1 (%2)%3").arg(parts.baseName()).arg(n).arg(suffix);
    if (!dir.exists(candidate)) return dir.filePath(candidate);
  }
}

// A page's address in a note at its foot: outside text, and not a screenful.
QString ShownAddress(const QUrl& address) { return DisplayedField(address.toDisplayString().left(200)); }

}  // namespace

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, QWidget* parent) : CWebBrowserDlg(address, nullptr, parent) {
  SetView(MakePageView(address, this));
}

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, const QString& reason, QWidget* parent)
    : CWebBrowserDlg(address, MakeReason(reason), parent) {}

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, QWidget* view, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_address(address),
      m_pFoot(new QWidget(this)),
      m_pNote(new QLabel(m_pFoot)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(CStringTable::Load(IDS_PRODUCT_NAME));
  setWindowIcon(AppIcon());
  setSizeGripEnabled(true);
  m_pNote->setTextFormat(Qt::PlainText);  // it quotes the page's addresses
  m_pNote->setWordWrap(true);
  m_pNote->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  m_pNote->hide();
  auto* foot = new QVBoxLayout(m_pFoot);
  foot->setContentsMargins(6, 2, 6, 2);
  foot->addWidget(m_pNote);
  m_pFoot->hide();
  const CWindowUnits du = CWindowUnits::Of(this);
  resize(du.Size(427, 303));
  // Escape and Ctrl+W close a page window as they close a browser's tab. The
  // page view takes every key it is given, so they are the window's
  // shortcuts, seen before the view gets the key.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
  if (view != nullptr) SetView(view);
}

CWebBrowserDlg::~CWebBrowserDlg() {
  // The view goes first: its page calls on this window while it ends.
  delete m_pBrowser;
}

void CWebBrowserDlg::SetView(QWidget* view) {
  m_pBrowser = view;
  m_pBrowser->setParent(this);
  m_pBrowser->setGeometry(CWindowUnits::Of(this).Rect(7, 7, 413, 289));
  m_pBrowser->show();
}

QString CWebBrowserDlg::PageTitle() const {
  CWebPageFactory* factory = CWebEngineLoader::IsLoaded() ? CWebEngineLoader::Factory() : nullptr;
  return factory ? factory->Title(m_pBrowser) : QString();
}

QString CWebBrowserDlg::Note() const { return m_pNote->isHidden() ? QString() : m_pNote->text(); }

QList<CPageDownloadRow*> CWebBrowserDlg::Downloads() const { return m_pFoot->findChildren<CPageDownloadRow*>(); }

CWebBrowserDlg* CWebBrowserDlg::OpenPage(const QUrl& address, bool smallWindow, bool quietly, const QRect& beside) {
  return Show(new CWebBrowserDlg(address), smallWindow, quietly, beside);
}

CWebBrowserDlg* CWebBrowserDlg::OpenNotice(const QUrl& address, bool smallWindow, bool quietly, const QString& reason,
                                           const QRect& beside) {
  return Show(new CWebBrowserDlg(address, reason), smallWindow, quietly, beside);
}

CWebBrowserDlg* CWebBrowserDlg::Show(CWebBrowserDlg* dlg, bool smallWindow, bool quietly, const QRect& beside) {
  dlg->setAttribute(Qt::WA_ShowWithoutActivating, quietly);
  if (smallWindow) {
    // Its fixed place is off a small screen: kept inside the screen's work area.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect place =
        screen ? CWindowPlacement::ClampTo(kSmallWindow, screen->availableGeometry(), kSmallWindow.size()) : kSmallWindow;
    dlg->move(place.topLeft());
    dlg->resize(place.size());
  } else if (beside.isValid()) {
    QScreen* screen = QGuiApplication::screenAt(beside.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      // Placed by its frame, title bar and borders included, so that no
      // part of it reaches past the work area.
      const QMargins frame = CWindowPlacement::FrameMargins(dlg);
      const QRect place = CWindowPlacement::Beside(beside, dlg->size().grownBy(frame), screen->availableGeometry(),
                                                   CWindowUnits::Of(dlg).Size(183, 148).grownBy(frame));
      dlg->move(place.topLeft());
      dlg->resize(place.size().shrunkBy(frame));
    }
  }
  // Asked for by the operator: in front with the keyboard, even shown by
  // the page viewer, which has seen none of the operator's clicks.
  if (!quietly) CX11Window::CatchUpUserTime(dlg);
  dlg->show();
  if (!quietly) dlg->activateWindow();
  return dlg;
}

void CWebBrowserDlg::Refuse(const QUrl& address) {
  ShowNote(QStringLiteral("Not opened: %1 (only web pages open here).").arg(ShownAddress(address)));
}

void CWebBrowserDlg::OpenMail(const QUrl& address) {
  // By the rule for every outside address: the mail client gets the
  // address, a subject and a body, nothing more.
  if (!CLinkOpener::Open(address.toString(QUrl::FullyEncoded)))
    ShowNote(QStringLiteral("Not opened: %1").arg(ShownAddress(address)));
}

QWidget* CWebBrowserDlg::OpenWindow() {
  // A window like this one, a step right and down from it, for the page to
  // load into.
  auto* dlg = new CWebBrowserDlg(QUrl(), nullptr, nullptr);
  dlg->SetView(MakePageView(QUrl(), dlg));
  if (QScreen* where = screen())
    dlg->move(CWindowPlacement::Cascade(frameGeometry(), dlg->size(), where->availableGeometry()));
  Show(dlg, false, false, QRect());
  emit WindowOpened(dlg);
  return dlg->m_pBrowser;
}

void CWebBrowserDlg::ShowTitle(const QString& title) {
  // "Transcripts - Talvero": which page it is, then whose.
  const QString product = CStringTable::Load(IDS_PRODUCT_NAME);
  const QString shown = DisplayedField(title.simplified().left(80));
  setWindowTitle(shown.isEmpty() || shown == product ? product : shown + QStringLiteral(" - ") + product);
}

QString CWebBrowserDlg::AskWhereToSave(const QString& suggestedName) {
  // The desktop's Downloads folder, or the home folder where there is none.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  const QString path = CDesktopServices::Get().SaveFileName(this, QStringLiteral("Save Download As"),
                                                            FreeName(folder, DisplayedField(suggestedName)));
  if (path.isEmpty()) ShowNote(QStringLiteral("Not saved: %1").arg(DisplayedField(suggestedName)));
  return path;
}

void CWebBrowserDlg::DownloadStarted(int download, const QString& path, std::function<void()> cancel) {
  auto* row = new CPageDownloadRow(path, std::move(cancel), m_pFoot);
  m_pFoot->layout()->addWidget(row);
  row->show();  // at once: the foot is sized from what it shows
  m_downloads.insert(download, row);
  m_pFoot->show();
  LayOut();
}

void CWebBrowserDlg::DownloadProgress(int download, qint64 received, qint64 total) {
  if (CPageDownloadRow* row = m_downloads.value(download)) row->ShowProgress(received, total);
}

void CWebBrowserDlg::DownloadEnded(int download, bool bSaved, const QString& reason) {
  if (CPageDownloadRow* row = m_downloads.take(download)) row->ShowEnd(bSaved, reason);
  LayOut();
}

void CWebBrowserDlg::ShowNote(const QString& note) {
  m_pNote->setText(note);
  m_pNote->show();
  m_pFoot->show();
  LayOut();
}

void CWebBrowserDlg::LayOut() {
  // The page fills the client area, above what the window says about it.
  const int forWidth = m_pFoot->heightForWidth(width());  // -1 without a wrapped note
  const int footHeight = m_pFoot->isHidden() ? 0 : forWidth > 0 ? forWidth : m_pFoot->sizeHint().height();
  m_pFoot->setGeometry(0, height() - footHeight, width(), footHeight);
  if (m_pBrowser) m_pBrowser->setGeometry(0, 0, width(), height() - footHeight);
}

void CWebBrowserDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOut();
}
