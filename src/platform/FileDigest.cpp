#include "platform/FileDigest.h"

#include <openssl/evp.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

// Opens a file for digesting; -1 when it cannot be opened. O_NOATIME is refused (EPERM) on
// files the caller does not own unless it holds CAP_FOWNER; such files are read without it.
int OpenForReading(const char* path) {
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int fd = ::open(path, kFlags | O_NOATIME);
  if (fd < 0 && errno == EPERM) fd = ::open(path, kFlags);
  return fd;
}

struct TFdCloser {
  int Fd;
  ~TFdCloser() {
    if (Fd >= 0) ::close(Fd);
  }
};

struct TMdCtxFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::optional<TDigest> GetFileMD5(const QByteArray& path, const std::atomic<bool>* cancelled,
                                  std::size_t readSize) {
  const TFdCloser file{OpenForReading(path.constData())};
  if (file.Fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  ::posix_fadvise(file.Fd, 0, 0, POSIX_FADV_SEQUENTIAL);

  const std::unique_ptr<EVP_MD_CTX, TMdCtxFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return std::nullopt;

  if (readSize == 0) readSize = kDigestReadSize;
  const std::unique_ptr<unsigned char[]> buffer(new unsigned char[readSize]);
  for (;;) {
    if (cancelled && cancelled->load(std::memory_order_relaxed)) return std::nullopt;
    const ssize_t got = ::read(file.Fd, buffer.get(), readSize);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (EVP_DigestUpdate(context.get(), buffer.get(), static_cast<std::size_t>(got)) != 1)
      return std::nullopt;
  }

  TDigest digest;
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size())
    return std::nullopt;
  return digest;
}

QByteArray DigestHex(const TDigest& digest) {
  return QByteArray(reinterpret_cast<const char*>(digest.data()), digest.size()).toHex().toUpper();
}

std::optional<TFileIdentity> FileIdentityOf(const QByteArray& path) {
  struct stat st;
  if (::stat(path.constData(), &st) != 0) return std::nullopt;
  return TFileIdentity{static_cast<std::uint64_t>(st.st_dev),
                       static_cast<std::uint64_t>(st.st_ino)};
}
