#include "platform/ProtectedFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Appends a whole regular file to `text`; a file that cannot be read adds nothing.
void AppendFile(int dirFd, const char* name, std::string& text) {
  const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < static_cast<std::size_t>(st.st_size)) {
      const ssize_t got = ::read(fd, text.data() + start + done, text.size() - start - done);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    text.resize(start + done);
    if (done > 0 && text.back() != '\n') text.push_back('\n');
  }
  ::close(fd);
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

TProtectedFiles::TProtectedFiles(std::string databaseFolder)
    : FDatabaseFolder(std::move(databaseFolder)) {}

void TProtectedFiles::Load() const {
  const int dirFd = ::open(FDatabaseFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  std::vector<std::string> names;
  if (DIR* dir = ::fdopendir(::dup(dirFd))) {
    while (const dirent* entry = ::readdir(dir)) {
      if (EndsWith(entry->d_name, ".list")) names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) AppendFile(dirFd, name.c_str(), FText);
  ::close(dirFd);

  // The text never changes again, so views into it stay valid.
  std::string_view rest(FText);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    // Lines are absolute paths; "/." stands for the root itself and guards nothing.
    if (line.size() < 2 || line.front() != '/' || line == "/.") continue;
    FPaths.insert(line);
    FFolders.insert(line.substr(0, line.rfind('/') + 1));
  }
}

bool TProtectedFiles::FolderMayHold(std::string_view folder) const {
  std::call_once(FLoaded, [this] { Load(); });
  return FFolders.count(folder) != 0;
}

bool TProtectedFiles::IsProtected(std::string_view path) const {
  std::call_once(FLoaded, [this] { Load(); });
  return FPaths.count(path) != 0;
}

const TProtectedFiles& SystemProtectedFiles() {
  static const TProtectedFiles instance;
  return instance;
}
