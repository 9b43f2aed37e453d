#pragma once

// Real temporary folders for tests that touch the file system: files with chosen bytes, sizes
// and times, links, FIFOs, sockets, names that are not UTF-8, folders nobody may read, and
// chains deeper than PATH_MAX. Every helper returns false when the file system refuses, so a
// test can skip instead of failing on an unusual machine.
//
// Paths are raw bytes (QByteArray). The folder is removed with everything in it, including
// what QDir could not remove (unreadable folders, non-UTF-8 names, over-long paths).

#include <QByteArray>

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

class TTestDir {
 public:
  TTestDir() {
    char pattern[] = "/tmp/veskora-test-XXXXXX";
    if (::mkdtemp(pattern)) FPath = QByteArray(pattern) + '/';
  }
  ~TTestDir() {
    if (!FPath.isEmpty()) RemoveTree(AT_FDCWD, FPath.chopped(1).constData());
  }
  TTestDir(const TTestDir&) = delete;
  TTestDir& operator=(const TTestDir&) = delete;

  bool IsValid() const { return !FPath.isEmpty(); }
  // The folder, with a trailing "/".
  QByteArray Path() const { return FPath; }
  QByteArray Abs(const QByteArray& relative) const { return FPath + relative; }

  bool MakeDir(const QByteArray& relative, mode_t mode = 0755) const {
    return ::mkdir(Abs(relative).constData(), mode) == 0;
  }
  bool MakeFile(const QByteArray& relative, const QByteArray& content = {},
                mode_t mode = 0644) const {
    const int fd =
        ::open(Abs(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return false;
    const bool ok = ::write(fd, content.constData(), static_cast<size_t>(content.size())) ==
                    static_cast<ssize_t>(content.size());
    ::close(fd);
    return ok && ::chmod(Abs(relative).constData(), mode) == 0;
  }
  // A file of `size` bytes that occupies (almost) no disk space.
  bool MakeSparseFile(const QByteArray& relative, std::int64_t size) const {
    const int fd =
        ::open(Abs(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::ftruncate(fd, size) == 0;
    ::close(fd);
    return ok;
  }
  bool MakeSymlink(const QByteArray& target, const QByteArray& relative) const {
    return ::symlink(target.constData(), Abs(relative).constData()) == 0;
  }
  bool MakeFifo(const QByteArray& relative) const {
    return ::mkfifo(Abs(relative).constData(), 0644) == 0;
  }
  // A listening-socket file; the socket itself is closed again, the file stays.
  bool MakeSocket(const QByteArray& relative) const {
    const QByteArray path = Abs(relative);
    sockaddr_un address{};
    if (static_cast<size_t>(path.size()) >= sizeof(address.sun_path)) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return ok;
  }
  // Sets the last-write and last-access times (seconds and nanoseconds since 1970, either side).
  bool SetTimes(const QByteArray& relative, std::int64_t sec, std::int64_t nsec = 0) const {
    const timespec times[2] = {{static_cast<time_t>(sec), static_cast<long>(nsec)},
                               {static_cast<time_t>(sec), static_cast<long>(nsec)}};
    return ::utimensat(AT_FDCWD, Abs(relative).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
  }
  bool SetMode(const QByteArray& relative, mode_t mode) const {
    return ::chmod(Abs(relative).constData(), mode) == 0;
  }
  // A chain of folders named `name` below `relative`, made through descriptors so it can go
  // past PATH_MAX; a file "f" is put in every level. Returns the number of levels made.
  int MakeDeepChain(const QByteArray& relative, const QByteArray& name, int levels) const {
    int fd = ::open(Abs(relative).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int made = 0;
    while (fd >= 0 && made < levels) {
      if (::mkdirat(fd, name.constData(), 0755) != 0) break;
      const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ::close(fd);
      fd = next;
      if (fd < 0) break;
      const int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      if (file >= 0) ::close(file);
      ++made;
    }
    if (fd >= 0) ::close(fd);
    return made;
  }

  // Removes a file or folder tree below `relative` (or anywhere, when given a full path).
  static void RemoveTree(int dirFd, const char* name) {
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
      ::unlinkat(dirFd, name, 0);
      return;
    }
    ::fchmodat(dirFd, name, 0700, 0);
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      if (DIR* dir = ::fdopendir(fd)) {
        std::string names;
        while (const dirent* entry = ::readdir(dir)) {
          if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
            names.append(entry->d_name).push_back('\0');
        }
        for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1)
          RemoveTree(::dirfd(dir), names.c_str() + at);
        ::closedir(dir);
      } else {
        ::close(fd);
      }
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
  }
  void Remove(const QByteArray& relative) const { RemoveTree(AT_FDCWD, Abs(relative).constData()); }

 private:
  QByteArray FPath;
};

// The whole content of a file, or "<unreadable>" when it cannot be opened.
inline QByteArray ContentOf(const QByteArray& path) {
  QByteArray content;
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<unreadable>";
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof(buffer))) > 0) content.append(buffer, got);
  ::close(fd);
  return content;
}

// Runs `work` on a thread of its own that cannot bypass permission bits. Root ignores them,
// but capabilities are per thread on Linux: dropping CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH
// from the thread's effective set makes a folder of mode 000 unreadable to it, as it is to any
// other user. False when that cannot be arranged (work did not run).
inline bool RunWithoutPermissionOverride(const std::function<void()>& work) {
  bool ran = false;
  std::thread thread([&] {
    if (::geteuid() == 0) {
      __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
      __user_cap_data_struct data[2]{};
      if (::syscall(SYS_capget, &header, data) != 0) return;
      const std::uint32_t dropped = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
      data[0].effective &= ~dropped;
      if (::syscall(SYS_capset, &header, data) != 0) return;
    }
    work();
    ran = true;
  });
  thread.join();
  return ran;
}
