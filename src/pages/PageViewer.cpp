#include "PageViewer.h"

#include "WebBrowserDlg.h"
#include "WindowPlacement.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QUrl>

#include <unistd.h>

#include <cstdio>

namespace {
// Longer commands are not the console's: the line is dropped.
constexpr int kMaxLine = 64 * 1024;
}  // namespace

CPageViewer::CPageViewer(int input, FILE* output)
    : m_input(input), m_output(output), m_pNotifier(new QSocketNotifier(input, QSocketNotifier::Read, this)) {
  connect(m_pNotifier, &QSocketNotifier::activated, this, &CPageViewer::ReadCommands);
  m_idle.setSingleShot(true);
  m_idle.setInterval(kIdleExitMs);
  connect(&m_idle, &QTimer::timeout, this, [this] {
    if (WindowCount() == 0) QCoreApplication::exit(0);
  });
  // Started for a page: one that never comes does not keep it running.
  m_idle.start();
}

void CPageViewer::ReadCommands() {
  char buffer[16 * 1024];
  const ssize_t n = ::read(m_input, buffer, sizeof buffer);
  if (n <= 0) {
    // The console ended (or closed the channel): its pages go with it.
    m_pNotifier->setEnabled(false);
    m_bConsoleGone = true;
    const auto pages = m_pages;
    for (const QPointer<CWebBrowserDlg>& page : pages)
      if (page) page->close();
    QuitWhenIdle();
    return;
  }
  m_pending.append(buffer, n);
  for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0;) {
    const QByteArray line = m_pending.left(end);
    m_pending.remove(0, end + 1);
    Run(line);
  }
  if (m_pending.size() > kMaxLine) m_pending.clear();
}

void CPageViewer::Run(const QByteArray& line) {
  const QList<QByteArray> words = line.trimmed().split(' ');
  if (words.size() == 2 && words[0] == "close") {
    if (CWebBrowserDlg* page = m_pages.value(words[1])) page->close();
    for (auto it = m_opened.cbegin(); it != m_opened.cend(); ++it)
      if (it.value() == words[1]) it.key()->close();
    return;
  }
  auto isFlag = [](const QByteArray& word) { return word == "0" || word == "1"; };
  QRect beside;
  if (words.size() < 5 || words.size() > 6 || words[0] != "open" || !isFlag(words[2]) || !isFlag(words[3]) ||
      (words.size() == 6 && !CWindowPlacement::Parse(QString::fromLatin1(words[5]), beside))) {
    std::fprintf(stderr, "talvero-pages: not a command: %s\n", line.left(200).constData());
    return;
  }
  const QByteArray id = words[1];
  const QUrl address = QUrl::fromEncoded(words[4], QUrl::StrictMode);
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
    // Only web pages are shown here, whoever writes to the channel.
    std::fprintf(stderr, "talvero-pages: not a web address, not opened: %s\n", words[4].left(200).constData());
    Report("closed", id);
    return;
  }
  CWebBrowserDlg* page = CWebBrowserDlg::OpenPage(address, words[2] == "1", words[3] == "1", beside);
  m_pages.insert(id, page);
  Follow(page, id);
  connect(page, &QObject::destroyed, this, [this, id] {
    m_pages.remove(id);
    Report("closed", id);
    QuitWhenIdle();
  });
  Report("shown", id);
}

void CPageViewer::Follow(CWebBrowserDlg* window, const QByteArray& id) {
  m_idle.stop();
  // The windows a page opens belong to the console's page: they close with
  // it, and keep the viewer running while they are open.
  connect(window, &CWebBrowserDlg::WindowOpened, this, [this, id](CWebBrowserDlg* opened) {
    m_opened.insert(opened, id);
    Follow(opened, id);
    connect(opened, &QObject::destroyed, this, [this, opened] {
      m_opened.remove(opened);
      QuitWhenIdle();
    });
  });
}

void CPageViewer::Report(const char* what, const QByteArray& id) {
  std::fprintf(m_output, "%s %s\n", what, id.constData());
  std::fflush(m_output);
}

void CPageViewer::QuitWhenIdle() {
  if (WindowCount() > 0) return;
  if (m_bConsoleGone)
    QCoreApplication::exit(0);
  else
    m_idle.start();
}
