#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

// Files that the system's package manager installed, which the scan treats as guarded by the
// system: every path listed in the dpkg database's "*.list" files. On a system without that
// database nothing is protected.
//
// The database is read once, on the first question, from whichever thread asks first; after
// that every question is a lookup in memory and safe from any thread. The paths keep their raw
// bytes and are compared byte for byte (no link resolution: a file reached through another
// path is not protected).
class TProtectedFiles {
 public:
  explicit TProtectedFiles(std::string databaseFolder = "/var/lib/dpkg/info");

  // Whether any listed file lies directly in `folder` (with its trailing "/"). Lets a scan ask
  // once per folder and skip the per-file lookup where the answer is no.
  bool FolderMayHold(std::string_view folder) const;
  bool IsProtected(std::string_view path) const;

 private:
  void Load() const;

  std::string FDatabaseFolder;
  mutable std::once_flag FLoaded;
  mutable std::string FText;  // all list files; the sets view into it
  mutable std::unordered_set<std::string_view> FPaths;
  mutable std::unordered_set<std::string_view> FFolders;  // with trailing "/"
};

// The program's own instance over the live database, made on first use.
const TProtectedFiles& SystemProtectedFiles();
