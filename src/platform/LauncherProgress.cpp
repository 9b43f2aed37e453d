#include "platform/LauncherProgress.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <utility>

TLauncherProgress::TLauncherProgress(QString connectionName, QString application)
    : FConnectionName(std::move(connectionName)), FApplication(std::move(application)) {}

bool TLauncherProgress::Available() const { return QDBusConnection(FConnectionName).isConnected(); }

bool TLauncherProgress::SetVisible(bool visible) { return Send(visible, FProgress); }

bool TLauncherProgress::SetValue(std::uint64_t completed, std::uint64_t total) {
  if (!Available()) return false;
  FProgress = (total == 0)
                  ? 0.0
                  : std::min(1.0, static_cast<double>(completed) / static_cast<double>(total));
  const int percent = static_cast<int>(std::floor(FProgress * 100.0));
  if (FSentVisible && percent == FSentPercent) return true;
  return Send(true, FProgress);
}

bool TLauncherProgress::Send(bool visible, double progress) {
  QDBusConnection connection(FConnectionName);
  if (!connection.isConnected()) return false;
  QDBusMessage signal = QDBusMessage::createSignal(
      QString::fromLatin1(kObjectPath), QStringLiteral("com.canonical.Unity.LauncherEntry"),
      QStringLiteral("Update"));
  QVariantMap properties;
  properties.insert(QStringLiteral("progress"), progress);
  properties.insert(QStringLiteral("progress-visible"), visible);
  signal << FApplication << properties;
  if (!connection.send(signal)) return false;
  FSentVisible = visible;
  FSentPercent = static_cast<int>(std::floor(progress * 100.0));
  return true;
}
