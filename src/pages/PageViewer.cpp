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
    if (m_pages.isEmpty()) QCoreApplication::exit(0);
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
  CWebBrowserDlg* page =
      CWebBrowserDlg::OpenPage(QUrl::fromEncoded(words[4], QUrl::StrictMode), words[2] == "1", words[3] == "1", beside);
  m_pages.insert(id, page);
  m_idle.stop();
  connect(page, &QObject::destroyed, this, [this, id] {
    m_pages.remove(id);
    Report("closed", id);
    QuitWhenIdle();
  });
  Report("shown", id);
}

void CPageViewer::Report(const char* what, const QByteArray& id) {
  std::fprintf(m_output, "%s %s\n", what, id.constData());
  std::fflush(m_output);
}

void CPageViewer::QuitWhenIdle() {
  if (!m_pages.isEmpty()) return;
  if (m_bConsoleGone)
    QCoreApplication::exit(0);
  else
    m_idle.start();
}
