#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// One getdents64 call fills this much; a folder of a few hundred entries is read in one go.
constexpr std::size_t kBufferSize = 64 * 1024;

constexpr unsigned kStatxWanted = STATX_BASIC_STATS | STATX_BTIME;

std::uint64_t DeviceOf(const struct statx& stx) {
  return makedev(stx.stx_dev_major, stx.stx_dev_minor);
}

TTimeStamp StampOf(const struct statx_timestamp& ts) { return {ts.tv_sec, ts.tv_nsec}; }

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Figures of a file from its statx data (its own, or its link target's).
void FillFile(const struct statx& stx, TDirEntry& entry) {
  const unsigned type = stx.stx_mode & S_IFMT;
  entry.Kind = ekFile;
  entry.IsSystem = type != S_IFREG && type != S_IFDIR && type != S_IFLNK;
  entry.IsReadOnly = (stx.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  entry.Size = static_cast<std::int64_t>(stx.stx_size);
  entry.Modified = StampOf(stx.stx_mtime);
  entry.Accessed = StampOf(stx.stx_atime);
  entry.HasCreated = (stx.stx_mask & STATX_BTIME) != 0;
  entry.Created = entry.HasCreated ? StampOf(stx.stx_btime) : TTimeStamp{};
}

}  // namespace

bool CrossesFileSystem(std::uint64_t rootDevice, std::uint64_t device, std::uint64_t attributes,
                       std::uint64_t attributesMask) {
  if (device != rootDevice) return true;
  return (attributesMask & STATX_ATTR_MOUNT_ROOT) != 0 && (attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

TDirListing::TDirListing() : FBuffer(new char[kBufferSize]) {}

TDirListing::~TDirListing() { Close(); }

void TDirListing::Close() {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  FBufferUsed = FBufferPos = 0;
}

bool TDirListing::Open(std::string_view folderPath) {
  Close();
  std::string path(folderPath);
  // A trailing slash would make the kernel follow a final symbolic link despite O_NOFOLLOW.
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty() || path.size() >= PATH_MAX) return false;
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (FHasRoot ? O_NOFOLLOW : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) return false;
  struct statx stx;
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE, &stx) != 0) {
    ::close(fd);
    return false;
  }
  if (!FHasRoot) {
    FHasRoot = true;
    FRootDevice = DeviceOf(stx);
  } else if (DeviceOf(stx) != FRootDevice) {
    ::close(fd);
    return false;
  }
  FFd = fd;
  FFolderLength = path.size() + (path == "/" ? 0 : 1);
  return true;
}

bool TDirListing::Refill() {
  const ssize_t got = ::getdents64(FFd, FBuffer.get(), kBufferSize);
  if (got <= 0) return false;  // end of folder, or it went away under us
  FBufferUsed = static_cast<std::size_t>(got);
  FBufferPos = 0;
  return true;
}

bool TDirListing::Next(TDirEntry& entry, bool wantFolders) {
  if (FFd < 0) return false;
  for (;;) {
    if (FBufferPos >= FBufferUsed && !Refill()) {
      Close();
      return false;
    }
    const auto* dirent = reinterpret_cast<const struct dirent64*>(FBuffer.get() + FBufferPos);
    FBufferPos += dirent->d_reclen;
    const char* name = dirent->d_name;
    if (IsDotOrDotDot(name)) continue;
    if (dirent->d_type == DT_DIR && !wantFolders) continue;
    const std::size_t nameLength = std::strlen(name);
    // A path must stay below PATH_MAX to be opened again; a folder's gets a trailing "/".
    const std::size_t pathLength = FFolderLength + nameLength;
    if (pathLength >= PATH_MAX) continue;

    struct statx stx;
    if (::statx(FFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxWanted, &stx) != 0)
      continue;  // vanished since the listing, or not ours to look at
    entry = TDirEntry{};
    entry.Name = std::string_view(name, nameLength);
    entry.IsHidden = name[0] == '.';
    const unsigned type = stx.stx_mode & S_IFMT;
    if (type == S_IFDIR) {
      if (!wantFolders || pathLength + 1 >= PATH_MAX ||
          CrossesFileSystem(FRootDevice, DeviceOf(stx), stx.stx_attributes,
                            stx.stx_attributes_mask))
        continue;
      entry.Kind = ekFolder;
      return true;
    }
    if (type == S_IFLNK) {
      struct statx target;
      if (::statx(FFd, name, AT_NO_AUTOMOUNT, kStatxWanted, &target) == 0) {
        if ((target.stx_mode & S_IFMT) == S_IFDIR) continue;  // folder links are never entered
        FillFile(target, entry);
        return true;
      }
      // Dangling or looping: the link stands for itself.
    }
    FillFile(stx, entry);
    return true;
  }
}

std::optional<TDriveSpace> DriveSpaceOf(std::string_view path) {
  const std::string cPath(path);
  struct statvfs vfs;
  if (::statvfs(cPath.c_str(), &vfs) != 0) return std::nullopt;
  TDriveSpace space;
  space.Total = static_cast<std::int64_t>(vfs.f_blocks * vfs.f_frsize);
  space.FreeForUser = static_cast<std::int64_t>(vfs.f_bavail * vfs.f_frsize);
  return space;
}
