#pragma once

#include <QByteArray>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

// File content digests (MD5) and file identities for the duplicate search.
//
// Reading follows the rules for touching listed files: the file is opened read-only and
// non-blocking, without updating its access time where the system permits that (the list shows
// access times, and a digest must not change them), and only a regular file is read, so a FIFO,
// a device node or a socket never blocks and never yields a digest. Paths are the raw bytes
// the file system gave: a name that is not valid UTF-8 is read like any other.
//
// Everything here is safe to call from any thread and never throws.

using TDigest = std::array<std::uint8_t, 16>;

// Read size per call. Chosen by bench/bench_digest: 8 KiB reads cost several per cent of
// throughput against 128 KiB, while larger reads gain nothing measurable.
inline constexpr std::size_t kDigestReadSize = 128 * 1024;

// The MD5 digest of the file's whole content, read in `readSize` chunks. Empty when the file
// cannot be read (missing, not permitted, not a regular file, a read error) and when
// `cancelled` becomes true between two chunks. A file that grows or shrinks while it is read
// yields the digest of the bytes that were read.
std::optional<TDigest> GetFileMD5(const QByteArray& path,
                                  const std::atomic<bool>* cancelled = nullptr,
                                  std::size_t readSize = kDigestReadSize);

// The 16 digest bytes as 32 upper-case hexadecimal digits, the form the list shows.
QByteArray DigestHex(const TDigest& digest);

// What makes two paths the same file on disk: the device and the inode. Two hard links, a
// symbolic link and its target, and one file reached twice through a bind mount share it.
struct TFileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

// The identity of the file a path names, following symbolic links to their target. Empty
// when the path (or a link's target) does not exist or cannot be reached.
std::optional<TFileIdentity> FileIdentityOf(const QByteArray& path);
