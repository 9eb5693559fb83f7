#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opening the target of a clicked link, by the rule for outside
// addresses: only http, https, ftp and mailto targets are opened, and a bare
// "www." address gets "http://" in front; anything else is not opened. A
// mailto address keeps only its subject and body.
//
// The controls need only Qt, so the actual opening is a hook: the program
// installs one that goes through its desktop services, e.g.
//   CLinkOpener::SetOpener([](const QUrl& u) { return CDesktopServices::Get().OpenUrl(u); });
// Without a hook, QDesktopServices::openUrl is used.
class CLinkOpener {
 public:
  using Opener = std::function<bool(const QUrl&)>;

  // Replaces the hook; an empty function restores QDesktopServices.
  static void SetOpener(Opener opener);

  // The address a target would open, or an invalid QUrl when the target
  // must not be opened (empty, another scheme, no host, no address).
  static QUrl SafeTarget(const QString& target);

  // Opens the target through the hook when SafeTarget allows it. False when
  // it was refused or the hook reported a failure.
  static bool Open(const QString& target);
};
