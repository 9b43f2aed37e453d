#include "explorer/BackThread.h"

#include "explorer/CancelledState.h"
#include "explorer/FolderScan.h"
#include "explorer/UEEvents.h"

#include <QCoreApplication>

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
    case btmDuplicates:
      // The digest pass and the duplicate pass over FRows are not built yet: such a run ends
      // at once, as after an empty list.
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
