#include "explorer/Win7TaskBarUtils.h"

#include "platform/LauncherProgress.h"

#include <QDBusConnection>

#include <memory>

namespace {

// The program's one launcher entry, held once the session bus was found. It refers to the
// bus by name only, so releasing it at the program's end touches no freed connection.
std::unique_ptr<TLauncherProgress>& Launcher() {
  static std::unique_ptr<TLauncherProgress> launcher;
  return launcher;
}

}  // namespace

bool InitTaskbarProgress() {
  if (Launcher()) return true;
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  Launcher() = std::make_unique<TLauncherProgress>(bus.name());
  return true;
}

bool TaskbarProgressAvailable() { return Launcher() != nullptr; }

bool SetTaskbarProgressState(int state) {
  if (!Launcher()) return false;
  const bool visible = state >= 1 && state <= 4;
  return Launcher()->SetVisible(visible);
}

bool SetTaskbarProgressValue(std::uint64_t completed, std::uint64_t total) {
  if (!Launcher()) return false;
  return Launcher()->SetValue(completed, total);
}
