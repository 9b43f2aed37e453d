// Program entry: one window, the message loop, and the end when the window closes.

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

#include "explorer/UniversalExplorerUnit.h"
#include "explorer/Version.h"
#include "platform/IconTheme.h"

namespace {

bool HasEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

int main(int argc, char* argv[]) {
  // Without a display Qt would abort with a plugin error; say what is missing instead.
  if (!HasEnvironment("QT_QPA_PLATFORM") && !HasEnvironment("DISPLAY") &&
      !HasEnvironment("WAYLAND_DISPLAY")) {
    std::fputs(
        "veskora: no graphical display is available (neither DISPLAY nor WAYLAND_DISPLAY is "
        "set), so the window cannot be shown.\n",
        stderr);
    return 1;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("veskora"));
  QApplication::setApplicationDisplayName(QStringLiteral("Veskora"));
  QApplication::setApplicationVersion(QLatin1String(kVeskoraVersion));
  QGuiApplication::setDesktopFileName(QStringLiteral("veskora"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/veskora.svg")));
  SetUpIconTheme();

  TUniversalExplorerForm window;
  window.show();
  return application.exec();
}
