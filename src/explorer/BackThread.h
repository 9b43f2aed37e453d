#pragma once

#include "explorer/FileTypeIndex.h"
#include "explorer/UEEvents.h"
#include "platform/FileDigest.h"

#include <QByteArray>
#include <QThread>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QObject;
class TStringIntIndex;
struct TCancelledState;
struct TFileNodeData;

// What a pass hands to the interface thread: digests to write into records (none: the file
// could not be read, clear the record's digest) and, from the duplicate pass, rows to select
// and to deselect. Records are the ones the pass was given; the list cannot drop them while the
// pass runs, because the window is disabled.
struct TDigestBatch {
  std::vector<std::pair<TFileNodeData*, std::optional<TDigest>>> Digests;
  std::vector<TFileNodeData*> Select;
  std::vector<TFileNodeData*> Deselect;
  bool IsEmpty() const { return Digests.empty() && Select.empty() && Deselect.empty(); }
};
using TUEDigestBatchEvent = TUEOwningEvent<TDigestBatch>;

// What a background run does.
enum TBackThreadMode : std::uint8_t { btmScan = 0, btmHashes = 1, btmDuplicates = 2 };

// The one background work thread: a folder scan, or a pass over the listed rows. One object
// serves one run: the window creates it (not started), starts it, waits for it with its event
// loop running and then deletes it; the thread never deletes itself. Only one exists at a
// time.
//
// The worker touches no model and no widget. It posts to the window:
//  - WM_UE_PROGRESS (TUEProgressEvent): the scan (percentage of the drive's used space listed
//    so far, 100) once per folder for even percentages; a pass (rows handled, rows at start);
//  - WM_UE_SCANBATCH (TUEBatchEvent holding a TScanBatch): finished rows and the icons they
//    need, in listing order;
//  - WM_UE_DIGESTBATCH (TUEDigestBatchEvent holding a TDigestBatch): digests and selection
//    changes of a pass, at most every kDigestBatchRows rows or kDigestBatchMs, and at the end.
// When the thread has ended, batches still queued hold rows and must be applied before the
// closing status text (QCoreApplication::sendPostedEvents(window, WM_UE_SCANBATCH)); progress
// notices still queued may be dropped.
//
// However the body ends (done, cancelled, or an exception) the thread just ends: nothing
// escapes it and no event announces the end, so the window finishes the same way every time,
// with what was handed over until then.
//
// Borrowed for the run, all owned by the window, which outlives the thread: the receiver, the
// indexes and the cancel flag. The icon index is extended by the scan, so the window leaves it
// alone while a scan runs. The type filter is copied, so later changes of the menu do not
// reach a running scan.
class TUEBackThread : public QThread {
  Q_OBJECT

 public:
  // imageCount: the number of icons in the window's image list now; file types met for the
  // first time get image indexes from there on (the worker cannot touch the image list).
  // rows: for the passes, the records to walk in list order; a scan takes none.
  TUEBackThread(TBackThreadMode mode, QObject* window, QByteArray folder, bool flatView,
                bool showSystem, bool showHidden, bool showProtected,
                const TStringIntIndex* osFolderIndex, TStringIntIndex* iconIndex,
                std::int32_t imageCount, const TFileTypeIndex* fileTypeIndex,
                const TTypeFilter& typeFilter, TCancelledState* cancelState,
                std::vector<TFileNodeData*> rows = {});
  ~TUEBackThread() override;

  // The bytes of all rows the scan handed over; read it once the thread has ended.
  std::int64_t TotalBytes() const { return FTotalBytes; }

  // For the duplicate pass: the digests the rows hold at the start, one per row (none: not
  // computed or unreadable). The pass reuses these instead of reading the records, which the
  // interface thread writes. Missing entries count as none.
  void SetKnownDigests(std::vector<std::optional<TDigest>> digests) {
    FKnownDigests = std::move(digests);
  }

  // A batch is handed over once it holds this many rows, or this long after the previous one,
  // so the list fills steadily without an event per row.
  static constexpr std::size_t kDigestBatchRows = 256;
  static constexpr int kDigestBatchMs = 50;

 protected:
  // The work of the run, dispatched on the mode. May throw: run() contains it.
  virtual void Execute();

  // Posts the event to the window (and gives it up); drops it when there is no window.
  void Post(QEvent* event) const;

 private:
  void run() final;
  void ExecuteScan();
  void ExecuteHashes();
  void ExecuteDuplicates();

  TBackThreadMode FMode;
  QObject* FWindow;
  QByteArray FFolder;
  bool FFlatView;
  bool FShowSystem;
  bool FShowHidden;
  bool FShowProtected;
  const TStringIntIndex* FOSFolderIndex;
  TStringIntIndex* FIconIndex;
  std::int32_t FImageCount;
  const TFileTypeIndex* FFileTypeIndex;
  TTypeFilter FTypeFilter;
  TCancelledState* FCancelState;
  std::vector<TFileNodeData*> FRows;  // the pass's rows in list order, snapshot at the start
  std::vector<std::optional<TDigest>> FKnownDigests;
  std::int64_t FTotalBytes = 0;
};
