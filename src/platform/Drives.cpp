#include "platform/Drives.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// File systems that hold no user files, or only volatile ones (tmpfs: /run, /dev/shm, ...).
constexpr std::array<std::string_view, 29> kPseudoFileSystems = {
    "autofs", "binfmt_misc", "bpf",      "cgroup",  "cgroup2",    "configfs",        "debugfs",
    "devpts", "devtmpfs",    "efivarfs", "fusectl", "hugetlbfs",  "mqueue",          "nsfs",
    "pipefs", "proc",        "pstore",   "ramfs",   "rpc_pipefs", "securityfs",      "selinuxfs",
    "sockfs", "squashfs",    "sysfs",    "tmpfs",   "tracefs",    "fuse.gvfsd-fuse", "fuse.portal",
    "nfsd"};

bool IsPseudoFileSystem(QByteArrayView type) {
  const std::string_view name(type.data(), static_cast<std::size_t>(type.size()));
  return std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), name) !=
         kPseudoFileSystems.end();
}

bool IsBelow(const QByteArray& path, const char* folder) {
  const QByteArray prefix(folder);
  return path == prefix || path.startsWith(prefix + '/');
}

// Kernel-owned trees and the runtime folder hold no user files; udisks mounts removable media
// under /run/media, which stays.
bool IsSystemMountPoint(const QByteArray& path) {
  if (IsBelow(path, "/run/media")) return false;
  return IsBelow(path, "/proc") || IsBelow(path, "/sys") || IsBelow(path, "/dev") ||
         IsBelow(path, "/run");
}

// mountinfo writes space, tab, newline and backslash in paths as three octal digits.
QByteArray UnescapeMountPath(QByteArrayView field) {
  QByteArray result;
  result.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '\\' && i + 3 < field.size()) {
      const char a = field[i + 1], b = field[i + 2], d = field[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && d >= '0' && d <= '7') {
        result += static_cast<char>(((a - '0') << 6) | ((b - '0') << 3) | (d - '0'));
        i += 3;
        continue;
      }
    }
    result += c;
  }
  return result;
}

}  // namespace

std::vector<QByteArray> MountPointsFromMountInfo(QByteArrayView mountInfo) {
  std::vector<QByteArray> others;
  bool hasRoot = false;
  for (const QByteArray& line : mountInfo.toByteArray().split('\n')) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const QList<QByteArray> fields = line.simplified().split(' ');
    const qsizetype separator = fields.indexOf(QByteArray("-"));
    if (separator < 6 || separator + 1 >= fields.size()) continue;
    if (IsPseudoFileSystem(fields[separator + 1])) continue;
    const QByteArray mountPoint = UnescapeMountPath(fields[4]);
    if (!mountPoint.startsWith('/')) continue;
    if (mountPoint == "/") {
      hasRoot = true;
      continue;
    }
    if (IsSystemMountPoint(mountPoint)) continue;
    if (std::find(others.begin(), others.end(), mountPoint) == others.end())
      others.push_back(mountPoint);
  }
  std::vector<QByteArray> result;
  if (hasRoot) result.push_back("/");
  result.insert(result.end(), others.begin(), others.end());
  return result;
}

std::vector<QByteArray> AvailableDrives() {
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  std::vector<QByteArray> drives;
  // /proc files report size 0, so read until the end rather than by size.
  if (table.open(QIODevice::ReadOnly)) {
    for (QByteArray& path : MountPointsFromMountInfo(table.readAll())) {
      // Bind mounts of single files (a container's /etc/hosts) are not drives.
      struct stat info {};
      if (::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        drives.push_back(std::move(path));
    }
  }
  if (drives.empty()) drives.push_back("/");
  const QByteArray home = QFile::encodeName(QDir::homePath());
  if (!home.isEmpty() && std::find(drives.begin(), drives.end(), home) == drives.end())
    drives.push_back(home);
  return drives;
}
