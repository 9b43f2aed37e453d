#include "explorer/BackThread.h"

#include "explorer/CancelledState.h"
#include "explorer/FolderScan.h"
#include "explorer/UEEvents.h"

#include "explorer/Duplicates.h"

#include <QCoreApplication>

#include <chrono>
#include <memory>
#include <utility>

namespace {

void PostToWindow(QObject* window, QEvent* event) {
  if (window == nullptr) {
    delete event;
    return;
  }
  QCoreApplication::postEvent(window, event);
}

// Posts the scan's output to the window and adds up the bytes of the rows it handed over, so
// the total matches the rows the window received even when the scan fails half-way.
class TPostingScanSink : public TScanSink {
 public:
  TPostingScanSink(QObject* window, std::int64_t& totalBytes)
      : FWindow(window), FTotalBytes(totalBytes) {}

  void OnBatch(TScanBatch&& batch) override {
    std::int64_t bytes = 0;
    for (const auto& row : batch.Rows) bytes += row->Size;
    PostToWindow(FWindow, new TUEBatchEvent(std::make_unique<TScanBatch>(std::move(batch))));
    FTotalBytes += bytes;
  }

  void OnProgress(int done, int total) override {
    PostToWindow(FWindow, new TUEProgressEvent(done, total));
  }

 private:
  QObject* FWindow;
  std::int64_t& FTotalBytes;
};

// Collects a pass's results and posts them in batches: when kDigestBatchRows rows are waiting,
// when kDigestBatchMs have passed since the last batch, and at the end. The end flush runs in
// the destructor, so what was computed before a cancel or a failure still reaches the window.
class TDigestBatcher {
 public:
  // selector: the duplicate pass's selection, whose changes go with every batch; rows: the
  // pass's rows, by which the selector numbers them.
  TDigestBatcher(QObject* window, TDuplicateSelector* selector,
                 const std::vector<TFileNodeData*>& rows)
      : FWindow(window), FSelector(selector), FRows(rows) {}
  ~TDigestBatcher() { Flush(); }
  TDigestBatcher(const TDigestBatcher&) = delete;
  TDigestBatcher& operator=(const TDigestBatcher&) = delete;

  TDigestBatch& Batch() { return *FBatch; }

  // Called after each whole row.
  void RowDone() {
    ++FRowsWaiting;
    if (FRowsWaiting < TUEBackThread::kDigestBatchRows &&
        Clock::now() - FLastFlush < std::chrono::milliseconds(TUEBackThread::kDigestBatchMs))
      return;
    Flush();
  }

  void Flush() {
    if (FSelector != nullptr) {
      const TDuplicateSelector::TChanges changes = FSelector->TakeChanges();
      for (const std::int32_t row : changes.Selected)
        FBatch->Select.push_back(FRows[static_cast<std::size_t>(row)]);
      for (const std::int32_t row : changes.Deselected)
        FBatch->Deselect.push_back(FRows[static_cast<std::size_t>(row)]);
    }
    FRowsWaiting = 0;
    FLastFlush = Clock::now();
    if (FBatch->IsEmpty()) return;
    PostToWindow(FWindow, new TUEDigestBatchEvent(WM_UE_DIGESTBATCH, std::move(FBatch)));
    FBatch = std::make_unique<TDigestBatch>();
  }

 private:
  using Clock = std::chrono::steady_clock;
  QObject* FWindow;
  TDuplicateSelector* FSelector;
  const std::vector<TFileNodeData*>& FRows;
  std::unique_ptr<TDigestBatch> FBatch = std::make_unique<TDigestBatch>();
  std::size_t FRowsWaiting = 0;
  Clock::time_point FLastFlush = Clock::now();
};

// Rows between two progress notices of a pass.
constexpr std::int64_t kPassProgressEvery = 100;

}  // namespace

TUEBackThread::TUEBackThread(TBackThreadMode mode, QObject* window, QByteArray folder,
                             bool flatView, bool showSystem, bool showHidden, bool showProtected,
                             const TStringIntIndex* osFolderIndex, TStringIntIndex* iconIndex,
                             std::int32_t imageCount, const TFileTypeIndex* fileTypeIndex,
                             const TTypeFilter& typeFilter, TCancelledState* cancelState,
                             std::vector<TFileNodeData*> rows)
    : FMode(mode),
      FWindow(window),
      FFolder(std::move(folder)),
      FFlatView(flatView),
      FShowSystem(showSystem),
      FShowHidden(showHidden),
      FShowProtected(showProtected),
      FOSFolderIndex(osFolderIndex),
      FIconIndex(iconIndex),
      FImageCount(imageCount),
      FFileTypeIndex(fileTypeIndex),
      FTypeFilter(typeFilter),
      FCancelState(cancelState),
      FRows(std::move(rows)) {}

TUEBackThread::~TUEBackThread() {
  // Deleting a running QThread aborts the program; the window always waits first, and this
  // keeps a forgotten wait from being fatal.
  wait();
}

void TUEBackThread::run() {
  try {
    Execute();
  } catch (...) {
    // An error ends the run early; the window sees only that the thread has ended and lists
    // what was handed over until then.
  }
}

void TUEBackThread::Execute() {
  switch (FMode) {
    case btmScan:
      ExecuteScan();
      break;
    case btmHashes:
      ExecuteHashes();
      break;
    case btmDuplicates:
      ExecuteDuplicates();
      break;
    default:
      break;
  }
}

void TUEBackThread::Post(QEvent* event) const { PostToWindow(FWindow, event); }

void TUEBackThread::ExecuteScan() {
  if (FIconIndex == nullptr || FFileTypeIndex == nullptr || FCancelState == nullptr) return;
  TScanOptions options;
  options.FlatView = FFlatView;
  options.ShowSystem = FShowSystem;
  options.ShowHidden = FShowHidden;
  options.ShowProtected = FShowProtected;
  options.OSFolderIndex = FOSFolderIndex;
  options.TypeFilter = FTypeFilter;
  FTotalBytes = 0;
  TPostingScanSink sink(FWindow, FTotalBytes);
  TFolderScan scan(FFolder, options, *FIconIndex, FImageCount, *FFileTypeIndex,
                   FCancelState->Cancelled, sink);
  scan.ScanFolderTree();
}

void TUEBackThread::ExecuteHashes() {
  if (FCancelState == nullptr) return;
  const auto total = static_cast<std::int64_t>(FRows.size());
  TDigestBatcher batcher(FWindow, nullptr, FRows);
  std::int64_t counter = 0;
  for (TFileNodeData* record : FRows) {
    if (FCancelState->Cancelled) break;
    // Always recomputed: an unreadable file now clears an earlier digest.
    std::optional<TDigest> digest = GetFileMD5(record->Path, &FCancelState->Cancelled);
    // A read cut short by the cancel is no verdict on the file: the row keeps what it had.
    if (!digest && FCancelState->Cancelled) break;
    batcher.Batch().Digests.emplace_back(record, digest);
    if (counter % kPassProgressEvery == 0) Post(new TUEProgressEvent(counter, total));
    ++counter;
    batcher.RowDone();
  }
}

void TUEBackThread::ExecuteDuplicates() {
  if (FCancelState == nullptr) return;
  const auto total = static_cast<std::int64_t>(FRows.size());
  // Declared before the batcher, whose last flush still reads it.
  TDuplicateSelector selector;
  TDigestBatcher batcher(FWindow, &selector, FRows);
  std::int64_t counter = 0;
  for (std::size_t row = 0; row < FRows.size(); ++row) {
    if (FCancelState->Cancelled) break;
    if (counter % kPassProgressEvery == 0) Post(new TUEProgressEvent(counter, total));
    TFileNodeData* record = FRows[row];
    std::optional<TDigest> digest = row < FKnownDigests.size() ? FKnownDigests[row] : std::nullopt;
    if (!digest) {
      digest = GetFileMD5(record->Path, &FCancelState->Cancelled);
      if (!digest && FCancelState->Cancelled) break;
      if (digest) batcher.Batch().Digests.emplace_back(record, digest);
    }
    // The identity is needed only for rows that can be duplicates.
    selector.AddRow(digest, digest ? FileIdentityOf(record->Path) : std::nullopt);
    ++counter;
    batcher.RowDone();
  }
}
