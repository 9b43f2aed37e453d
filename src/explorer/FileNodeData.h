#pragma once

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <limits>

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
// Name, Path and Ext hold the bytes the file system gave: a name that is not valid UTF-8
// still reaches its file, and only the display converts. Hash holds 32 upper-case
// hexadecimal digits or nothing.
//
// Threads: the scan fills a record before it is handed to the list; afterwards only the
// interface thread touches the plain fields. Thumbnail and ThumbState are written by the
// thumbnail workers and are atomic so that painters and workers never race.
struct TFileNodeData {
  QByteArray Name;
  QByteArray Path;
  QByteArray Ext;
  QByteArray Hash;
  std::int64_t Modified = 0;  // ms since 1970-01-01 UTC
  std::int64_t Created = 0;   // ms since 1970-01-01 UTC, or kUnknownTime
  std::int64_t Accessed = 0;  // ms since 1970-01-01 UTC
  std::int64_t Size = 0;      // bytes
  std::int32_t ImageIndex = 0;
  bool IsHidden = false;
  bool IsSystem = false;
  bool IsReadOnly = false;
  bool IsProtected = false;
  std::atomic<QImage*> Thumbnail{nullptr};  // owned; published complete by a worker
  TFileNodeData* NextInQueue = nullptr;     // guarded by the thumbnail queue's lock
  std::atomic<std::uint8_t> ThumbState{tsNone};
  // The record's row in the file list, kept by the list model (interface thread only) so that
  // finding a record's row does not walk the list. -1 while the record is not listed.
  std::int32_t ListRow = -1;

  TFileNodeData() = default;
  TFileNodeData(const TFileNodeData&) = delete;
  TFileNodeData& operator=(const TFileNodeData&) = delete;
  ~TFileNodeData();
};

// The text from the last "." of a name on, when that dot is the name's own (not part of a
// folder); empty when the name has no dot. Letter case is kept as on disk.
QByteArray ExtOfName(const QByteArray& name);
