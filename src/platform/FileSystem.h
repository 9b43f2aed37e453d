#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

// Folder listing for the scan: getdents64 over a folder descriptor and one statx per entry
// relative to it (no full path per call), so that the walk touches nothing but the folder's own
// entries and never opens a file.
//
// What an entry is, as the scan sees it:
// - a regular file, a FIFO, a socket or a device node is a file (the last three are "system");
// - a symbolic link to a file is that file: its target's type, size, times and permissions;
// - a dangling or looping symbolic link is a file of its own, with the link's own figures;
// - a folder is offered for descent only when it is a real folder on the scan root's file
//   system; a symbolic link to a folder and a folder on another mounted file system (a mount
//   point, a bind mount) are never offered and never listed;
// - an entry whose full path would reach PATH_MAX is left out: nothing could open it by path;
// - an entry that vanishes between the listing and its statx is left out.
// Every failure is silent: the entry (or the folder) simply contributes nothing.

struct TTimeStamp {
  std::int64_t Sec = 0;
  std::int64_t Nsec = 0;
};

enum TEntryKind : std::uint8_t { ekFile, ekFolder };

struct TDirEntry {
  std::string_view Name;  // raw bytes; valid until the next call of Next or Open
  TEntryKind Kind = ekFile;
  bool IsHidden = false;    // the name starts with "."
  bool IsSystem = false;    // not a regular file, folder or symbolic link
  bool IsReadOnly = false;  // no write permission bit at all
  bool HasCreated = false;  // the file system reports a birth time
  std::int64_t Size = 0;
  TTimeStamp Modified;
  TTimeStamp Accessed;
  TTimeStamp Created;  // meaningful only when HasCreated
};

// Whether a folder met during a scan lies on another mounted file system than the scan root,
// and so must not be entered. `rootDevice` and `device` are makedev() numbers; `attributes` is
// statx's stx_attributes, whose mount-root bit also catches bind mounts of the same device.
bool CrossesFileSystem(std::uint64_t rootDevice, std::uint64_t device, std::uint64_t attributes,
                       std::uint64_t attributesMask);

// Lists folders one after the other, reusing one entry buffer. The first folder opened fixes
// the scan root's file system; a later folder found on another one (it became a mount point
// while it waited) does not open.
class TDirListing {
 public:
  TDirListing();
  ~TDirListing();
  TDirListing(const TDirListing&) = delete;
  TDirListing& operator=(const TDirListing&) = delete;

  // Opens a folder by its path (a trailing "/" is allowed). The first folder may itself be a
  // symbolic link, since the user named it; later ones are opened without following links, so
  // a folder swapped for a link while it waited is not entered. False when it cannot be read.
  bool Open(std::string_view folderPath);
  // With wantFolders clear, folders are skipped from their directory entry type alone, which
  // saves one statx per folder when subfolders are not scanned.
  bool Next(TDirEntry& entry, bool wantFolders);
  void Close();

 private:
  bool Refill();

  int FFd = -1;
  bool FHasRoot = false;
  std::uint64_t FRootDevice = 0;
  std::size_t FFolderLength = 0;  // bytes of the folder path including its trailing "/"
  std::unique_ptr<char[]> FBuffer;
  std::size_t FBufferUsed = 0;
  std::size_t FBufferPos = 0;
};

// Size of the file system holding a path, from statvfs.
struct TDriveSpace {
  std::int64_t Total = 0;        // blocks x fragment size
  std::int64_t FreeForUser = 0;  // blocks available to unprivileged users x fragment size
};

// Nothing when the figures cannot be read.
std::optional<TDriveSpace> DriveSpaceOf(std::string_view path);
