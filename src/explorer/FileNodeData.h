#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>

class QImage;

// A record's place in the thumbnail pipeline.
enum TThumbState : std::uint8_t { tsNone = 0, tsQueued = 1, tsFetching = 2, tsFinished = 3 };

// "Unknown" for a time the file system does not report (a missing birth time). Its cell is
// empty and it sorts before every real time; it is never replaced by a made-up time.
inline constexpr std::int64_t kUnknownTime = std::numeric_limits<std::int64_t>::min();

// The record behind one row of the file list: everything the program knows about a listed
// file. The list model owns every record; a record's address stays the same for its whole
// life (sorting permutes pointers, not records), so the thumbnail queue and the search may
// hold on to it until the list frees it.
//
// Memory: a scan of a million files holds a million records, so a record keeps its path once,
// as the bytes the file system gave (a name that is not valid UTF-8 still reaches its file;
// only the display converts), and the name and the extension are offsets into it. The digest
// is kept as its 16 bytes and becomes hexadecimal text only when shown. A listed record costs
// two allocations: itself and its path.
//
// Threads: the scan fills a record before it is handed to the list; afterwards only the
// interface thread touches the plain fields, except the digest, which the digest pass writes
// while the window's controls are disabled. Thumbnail and ThumbState are written by the
// thumbnail workers and are atomic so that painters and workers never race.
struct TFileNodeData {
  // The full path; set only through SetPath, which keeps NameStart and ExtStart in step.
  // Paths of listed records do not change after the scan.
  QByteArray Path;
  std::int64_t Modified = 0;                // ms since 1970-01-01 UTC
  std::int64_t Created = 0;                 // ms since 1970-01-01 UTC, or kUnknownTime
  std::int64_t Accessed = 0;                // ms since 1970-01-01 UTC
  std::int64_t Size = 0;                    // bytes
  std::atomic<QImage*> Thumbnail{nullptr};  // owned; published complete by a worker
  TFileNodeData* NextInQueue = nullptr;     // guarded by the thumbnail queue's lock
  std::int32_t ImageIndex = 0;
  // The record's row in the file list, kept by the list model (interface thread only) so that
  // finding a record's row does not walk the list. -1 while the record is not listed.
  std::int32_t ListRow = -1;
  std::array<std::uint8_t, 16> Digest{};  // the MD5 of the content; meaningful when HasDigest
  // Offsets into Path. A listed path is shorter than PATH_MAX (4096), so 16 bits hold them;
  // ExtStart == Path.size() when the name has no extension.
  std::uint16_t NameStart = 0;
  std::uint16_t ExtStart = 0;
  bool HasDigest = false;
  bool IsHidden = false;
  bool IsSystem = false;
  bool IsReadOnly = false;
  bool IsProtected = false;
  std::atomic<std::uint8_t> ThumbState{tsNone};

  TFileNodeData() = default;
  TFileNodeData(const TFileNodeData&) = delete;
  TFileNodeData& operator=(const TFileNodeData&) = delete;
  ~TFileNodeData();

  // The file name without its folder, and its extension (see ExtOfName); views into Path.
  QByteArrayView Name() const;
  QByteArrayView Ext() const;
  // Takes the path and the offset where its name starts, and finds the extension. A path longer
  // than 65535 bytes is a programming error (std::length_error), and so is a name start outside
  // the path (std::out_of_range); the record is unchanged then.
  void SetPath(QByteArray path, qsizetype nameStart);

  // The digest as 32 upper-case hexadecimal digits; empty without a digest.
  QByteArray Hash() const;
  void SetDigest(const std::array<std::uint8_t, 16>& digest);
  void ClearHash();
  // Takes a digest from 32 hexadecimal digits of either case. Anything else is refused: false,
  // and the record keeps what it had.
  bool SetHashText(QByteArrayView hex32);
};

// The extension of a name: the text from its last "." on when that dot belongs to the name
// itself (comes after any "/"), letter case as on disk; empty when the name has no dot. A name
// that starts with its only dot is all extension.
QByteArrayView ExtOfName(QByteArrayView name);

// A record that knows only its path: the name is what follows the last "/". For records made
// outside a scan; everything else keeps its default.
std::unique_ptr<TFileNodeData> MakeFileRecord(QByteArray path);
