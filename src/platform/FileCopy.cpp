#include "platform/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr std::size_t kCopyChunk = 128 * 1024;

struct TFd {
  int Fd = -1;
  TFd() = default;
  explicit TFd(int fd) : Fd(fd) {}
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd() { Close(); }
  bool Close() {
    if (Fd < 0) return true;
    const bool ok = ::close(Fd) == 0;
    Fd = -1;
    return ok;
  }
};

int OpenSource(const char* path) {
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int fd = ::open(path, kFlags | O_NOATIME);
  if (fd < 0 && errno == EPERM) fd = ::open(path, kFlags);
  return fd;
}

// A fresh, exclusively created file in `folder`; its path in `tempPath`. The name is short and
// fixed-length, so it fits wherever the target's name fits, and starts with "." so a file
// manager showing the folder meanwhile hides it.
int CreateTempFile(const QByteArray& folder, QByteArray& tempPath) {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::minstd_rand random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    QByteArray name(".veskora-copy-XXXXXXXX");
    for (qsizetype i = name.size() - 8; i < name.size(); ++i)
      name[i] = kAlphabet[random() % (sizeof(kAlphabet) - 1)];
    tempPath = folder + name;
    const int fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

enum TContentResult { ctOk, ctReadFailed, ctWriteFailed };

TContentResult CopyContent(int from, int to) {
  const std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
  for (;;) {
    const ssize_t got = ::read(from, buffer.get(), kCopyChunk);
    if (got == 0) return ctOk;
    if (got < 0) {
      if (errno == EINTR) continue;
      return ctReadFailed;
    }
    if (!WriteAll(to, buffer.get(), static_cast<std::size_t>(got))) return ctWriteFailed;
  }
}

}  // namespace

TCopyResult CopyFileInto(const QByteArray& sourcePath, const QByteArray& folder) {
  const qsizetype slash = sourcePath.lastIndexOf('/');
  const QByteArray name = sourcePath.mid(slash + 1);
  if (name.isEmpty()) return cprNotRegularFile;
  const QByteArray folderPath = folder.endsWith('/') ? folder : folder + '/';
  const QByteArray targetPath = folderPath + name;

  const TFd source(OpenSource(sourcePath.constData()));
  if (source.Fd < 0) return cprSourceUnreadable;
  struct stat sourceStat;
  if (::fstat(source.Fd, &sourceStat) != 0) return cprSourceUnreadable;
  if (!S_ISREG(sourceStat.st_mode)) return cprNotRegularFile;

  // The target may be the source under another name (the same folder, a hard link, a link to
  // it): replacing it would destroy the only copy.
  struct stat targetStat;
  if (::stat(targetPath.constData(), &targetStat) == 0 && targetStat.st_dev == sourceStat.st_dev &&
      targetStat.st_ino == sourceStat.st_ino)
    return cprSameFile;

  QByteArray tempPath;
  TFd temp(CreateTempFile(folderPath, tempPath));
  if (temp.Fd < 0) return cprTargetFailed;

  TCopyResult result = cprCopied;
  const TContentResult content = CopyContent(source.Fd, temp.Fd);
  if (content == ctReadFailed) {
    result = cprSourceUnreadable;
  } else {
    const timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (content != ctOk || ::fchmod(temp.Fd, sourceStat.st_mode & 0777) != 0 ||
        ::futimens(temp.Fd, times) != 0 || ::fsync(temp.Fd) != 0 || !temp.Close() ||
        ::rename(tempPath.constData(), targetPath.constData()) != 0)
      result = cprTargetFailed;
  }
  if (result != cprCopied) {
    temp.Close();
    ::unlink(tempPath.constData());
  }
  return result;
}
