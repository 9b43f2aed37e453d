#pragma once

#include <QDBusConnection>
#include <QString>

#include <cstdint>

// Progress on the program's launcher or task-bar entry, told to the desktop with the
// com.canonical.Unity.LauncherEntry "Update" signal on the session bus. Desktops that show it
// (Plasma's task manager, Ubuntu's dock, Plank) draw the bar; the others ignore the signal.
// It is best effort: without a connected bus every call does nothing and returns false, and
// the caller shows its progress in the window only.
//
// Value updates are thinned out: one is sent only when the whole percentage changes or the
// progress becomes visible, so a long operation sends at most about a hundred of them however
// often it reports. Hiding is always sent.
//
// Not thread-safe: use it from the interface thread.
class TLauncherProgress {
 public:
  static constexpr const char* kDefaultApplication = "application://veskora.desktop";
  static constexpr const char* kObjectPath = "/org/veskora/LauncherEntry";

  // Sends over the connection called connectionName (see QDBusConnection::name()); the
  // connection is looked up at each send, so this object holds no reference that could
  // outlive the bus.
  explicit TLauncherProgress(QString connectionName,
                             QString application = QString::fromLatin1(kDefaultApplication));

  // Whether the connection is connected now.
  bool Available() const;

  // Shows (visible) or hides the progress. Returns whether the signal was sent.
  bool SetVisible(bool visible);
  // Sets the progress to completed / total (0 when total is 0, at most 1) and shows it.
  // Returns false only when a due signal could not be sent.
  bool SetValue(std::uint64_t completed, std::uint64_t total);

 private:
  bool Send(bool visible, double progress);

  QString FConnectionName;
  QString FApplication;
  double FProgress = 0.0;     // last value given to SetValue
  int FSentPercent = -1;      // whole percentage of the last value sent, -1 for none
  bool FSentVisible = false;  // visibility of the last signal sent
};
