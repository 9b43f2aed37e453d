#include "platform/Trash.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace {

// Upper bound on "<name>.N" attempts; only a trash stuffed with one name gets near it.
constexpr int kMaxNameAttempts = 100000;
constexpr qsizetype kNameMax = NAME_MAX;
const QByteArray kInfoSuffix = QByteArrayLiteral(".trashinfo");

// mkdir -p with 0700 for every folder it makes.
bool MakePrivatePath(const QByteArray& path) {
  for (qsizetype at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path.at(at) != '/') continue;
    const QByteArray prefix = path.left(at);
    if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder of our own inside a topdir: made 0700 when missing; refused when it is a link, not
// a folder, or someone else's (another user could read or plant files there).
bool IsOwnFolder(const QByteArray& path, bool create) {
  if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// The device of `path`, or of its nearest existing ancestor while it does not exist yet (a home
// trash not made so far lands on the device of the folder that will hold it).
dev_t DeviceOfNearest(QByteArray path) {
  struct stat st;
  while (::stat(path.constData(), &st) != 0) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return static_cast<dev_t>(-1);
    path = slash == 0 ? QByteArray("/") : path.left(slash);
  }
  return st.st_dev;
}

QByteArray DeletionDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32] = {};
  if (!::localtime_r(&now, &local) ||
      std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &local) == 0)
    return {};
  return QByteArray(text);
}

bool WriteInfo(int fd, const QByteArray& originalPath) {
  const QByteArray info = "[Trash Info]\nPath=" + originalPath.toPercentEncoding("/") +
                          "\nDeletionDate=" + DeletionDateNow() + "\n";
  const char* data = info.constData();
  std::size_t left = static_cast<std::size_t>(info.size());
  while (left > 0) {
    const ssize_t put = ::write(fd, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

// The name in the trash for attempt `n`: the original name, then "<name>.2", "<name>.3", ...;
// cut short where "<name>.N.trashinfo" would not fit in a file name.
QByteArray TrashName(const QByteArray& name, int n) {
  const QByteArray suffix = n == 1 ? QByteArray() : "." + QByteArray::number(n);
  const qsizetype room = kNameMax - kInfoSuffix.size() - suffix.size();
  return name.left(room) + suffix;
}

}  // namespace

TTrash::TTrash(QByteArray dataHome) : FDataHome(std::move(dataHome)) {}

TTrash::~TTrash() = default;

QByteArray TTrash::HomeTrash() const {
  QByteArray home = FDataHome;
  if (home.isEmpty())
    home = QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
  while (home.size() > 1 && home.endsWith('/')) home.chop(1);
  return home + "/Trash";
}

TTrashResult TTrash::MoveToTrash(const QByteArray& path, QByteArray* trashedPath) {
  QByteArray absolute = path;
  while (absolute.size() > 1 && absolute.endsWith('/')) absolute.chop(1);
  if (!absolute.startsWith('/')) {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) return trNoTrash;
    absolute = QByteArray(cwd) + '/' + absolute;
    std::free(cwd);
  }
  struct stat fileStat;
  if (::lstat(absolute.constData(), &fileStat) != 0) return trNotFound;

  const qsizetype slash = absolute.lastIndexOf('/');
  const QByteArray name = absolute.mid(slash + 1);
  if (name.isEmpty() || name == "." || name == "..") return trNoTrash;
  // The folder is resolved, the entry itself is not: a link is trashed as a link.
  char* resolved = ::realpath(slash == 0 ? "/" : absolute.left(slash).constData(), nullptr);
  if (!resolved) return trNoTrash;
  QByteArray folder(resolved);
  std::free(resolved);
  if (folder.endsWith('/')) folder.chop(1);  // only "/" itself ends so
  const QByteArray original = folder + '/' + name;

  const QByteArray homeTrash = HomeTrash();
  const bool homeIsSameDevice = DeviceOfNearest(homeTrash) == fileStat.st_dev;

  QByteArray topDir = TopDirOf(folder);
  const bool hasTopDir = !topDir.isEmpty();
  if (topDir.endsWith('/')) topDir.chop(1);  // "/" becomes "", so "/.Trash" comes out right
  const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::getuid()));

  auto tryHome = [&] {
    return MakePrivatePath(homeTrash) && TryTrash(homeTrash, original, absolute, trashedPath);
  };
  auto tryTopDir = [&] {
    if (!hasTopDir || !original.startsWith(topDir + '/')) return false;
    const QByteArray relative = original.mid(topDir.size() + 1);
    const QByteArray shared = topDir + "/.Trash";
    struct stat sharedStat;
    if (::lstat(shared.constData(), &sharedStat) == 0 && S_ISDIR(sharedStat.st_mode) &&
        (sharedStat.st_mode & S_ISVTX) && IsOwnFolder(shared + '/' + uid, true) &&
        TryTrash(shared + '/' + uid, relative, absolute, trashedPath))
      return true;
    const QByteArray own = topDir + "/.Trash-" + uid;
    return IsOwnFolder(own, true) && TryTrash(own, relative, absolute, trashedPath);
  };

  const bool moved = homeIsSameDevice ? tryHome() || tryTopDir() : tryTopDir() || tryHome();
  return moved ? trMoved : trNoTrash;
}

bool TTrash::TryTrash(const QByteArray& trash, const QByteArray& infoPath, const QByteArray& source,
                      QByteArray* trashedPath) const {
  const QByteArray filesDir = trash + "/files/";
  const QByteArray infoDir = trash + "/info/";
  if ((::mkdir(filesDir.constData(), 0700) != 0 && errno != EEXIST) ||
      (::mkdir(infoDir.constData(), 0700) != 0 && errno != EEXIST))
    return false;

  const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
  for (int n = 1; n <= kMaxNameAttempts; ++n) {
    const QByteArray trashName = TrashName(name, n);
    const QByteArray info = infoDir + trashName + kInfoSuffix;
    const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const QByteArray target = filesDir + trashName;
    struct stat st;
    if (::lstat(target.constData(), &st) == 0) {  // a trashed file that lost its info file
      ::close(fd);
      ::unlink(info.constData());
      continue;
    }
    const bool written = WriteInfo(fd, infoPath);
    const bool closed = ::close(fd) == 0;
    const int error = written && closed ? RenameNoReplace(source, target) : EIO;
    if (error == 0) {
      if (trashedPath) *trashedPath = target;
      return true;
    }
    ::unlink(info.constData());
    if (error != EEXIST) return false;
  }
  return false;
}

QByteArray TTrash::TopDirOf(const QByteArray& folder) const {
  QByteArray dir = folder;
  for (;;) {
    if (dir.isEmpty() || dir == "/") return "/";
    struct statx here;
    if (::statx(AT_FDCWD, dir.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &here) != 0)
      return {};
    if ((here.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
        (here.stx_attributes & STATX_ATTR_MOUNT_ROOT))
      return dir;
    const qsizetype slash = dir.lastIndexOf('/');
    const QByteArray parent = slash <= 0 ? QByteArray("/") : dir.left(slash);
    struct stat parentStat;
    if (::stat(parent.constData(), &parentStat) != 0) return {};
    if (::makedev(here.stx_dev_major, here.stx_dev_minor) != parentStat.st_dev) return dir;
    dir = parent;
  }
}

int TTrash::RenameNoReplace(const QByteArray& from, const QByteArray& to) const {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  // File systems without RENAME_NOREPLACE: the caller has just seen the target absent.
  if (errno != EINVAL && errno != ENOSYS) return errno;
  return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}
