#pragma once

#include <QByteArray>

#include <cstdint>

// Moving files into the desktop's trash, after the freedesktop.org trash standard, by raw
// byte paths (names that are not valid UTF-8 work, which QFile::moveToTrash cannot do).
//
// Where a file goes:
// - the home trash, "<data home>/Trash" (data home = $XDG_DATA_HOME, by default
//   ~/.local/share; created with the trash folders, mode 0700, when missing), for a file on the
//   same file system;
// - for a file on another file system, "<topdir>/.Trash/<uid>" when "<topdir>/.Trash" is a
//   real folder (not a symbolic link) with the sticky bit, else "<topdir>/.Trash-<uid>",
//   created on demand; <topdir> is the mount point of the file's file system.
// Each place is tried in turn (the home trash last for a file elsewhere, first otherwise): a
// bind mount shares its device with the home but still refuses a rename across it.
//
// In a trash, "info/<name>.trashinfo" is created first and exclusively, under a name that
// neither info/ nor files/ holds yet (clashes get "<name>.2", "<name>.3", ...), with the
// original path percent-encoded (absolute in the home trash, relative to <topdir> in a topdir
// trash) and the deletion time in local time; then the file is renamed into "files/<name>".
// A rename never overwrites an earlier trashed file.
//
// Nothing is ever deleted for good: a file that no trash can take by a rename (another file
// system with no usable trash on it) stays where it is, its info file is removed again, and
// the call reports the failure.
//
// A symbolic link is trashed as the link itself; its target stays.

enum TTrashResult : std::uint8_t {
  trMoved,     // the file is in a trash
  trNotFound,  // nothing at that path
  trNoTrash,   // no trash could take the file; it stays where it was
};

class TTrash {
 public:
  // `dataHome`: the folder holding the home trash; empty for $XDG_DATA_HOME (~/.local/share).
  explicit TTrash(QByteArray dataHome = {});
  virtual ~TTrash();
  TTrash(const TTrash&) = delete;
  TTrash& operator=(const TTrash&) = delete;

  // Moves the file (or link, or folder) at `path` into a trash. When it was moved and
  // `trashedPath` is given, that receives the file's path inside the trash's files/ folder.
  TTrashResult MoveToTrash(const QByteArray& path, QByteArray* trashedPath = nullptr);

  // The home trash folder, "<data home>/Trash".
  QByteArray HomeTrash() const;

 protected:
  // The mount point of the file system holding `folder` (an absolute, canonical folder path),
  // without a trailing "/" except for "/" itself. Overridden by tests to stand in for another
  // file system.
  virtual QByteArray TopDirOf(const QByteArray& folder) const;
  // rename(2), or renameat2 without replacing; 0 or an errno value. Overridden by tests to
  // stand in for a rename across file systems.
  virtual int RenameNoReplace(const QByteArray& from, const QByteArray& to) const;

 private:
  bool TryTrash(const QByteArray& trash, const QByteArray& infoPath, const QByteArray& source,
                QByteArray* trashedPath) const;

  QByteArray FDataHome;
};
