#pragma once

#include "explorer/FileNodeData.h"
#include "explorer/FileTypeIndex.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TProtectedFiles;
class TStringIntIndex;
class TDirListing;
struct TDirEntry;

// A file type met for the first time over the program's run: the scan has given it the image
// index `Index`; the interface thread makes the icon from the icon theme (the MIME type's icon
// name, else its generic one) and appends it to the image list before it lists the rows of the
// same batch, so that the indexes line up.
struct TNewIcon {
  std::int32_t Index = 0;
  QString IconName;
  QString GenericIconName;
};

// What the scan hands to the interface thread in one go: finished records, in listing order,
// and the icons they need that the image list does not have yet.
struct TScanBatch {
  std::vector<std::unique_ptr<TFileNodeData>> Rows;
  std::vector<TNewIcon> Icons;
};

// Receives the scan's output on the scan's own thread; an implementation posts it onward.
class TScanSink {
 public:
  virtual ~TScanSink() = default;
  virtual void OnBatch(TScanBatch&& batch) = 0;
  // (percentage of the drive's used space listed so far, 100).
  virtual void OnProgress(int done, int total) = 0;
};

struct TScanOptions {
  bool FlatView = false;  // subfolders are scanned too
  bool ShowSystem = false;
  bool ShowHidden = false;
  bool ShowProtected = false;
  // Folders whose key (OSFolderKey) it holds are skipped with everything below them; none =
  // skip nothing.
  const TStringIntIndex* OSFolderIndex = nullptr;
  TTypeFilter TypeFilter = kAllFileTypes;
};

// One folder waiting in the scan's queue; Path always ends with "/".
struct TFolderNode {
  QByteArray Path;
};

// Lists a folder, or in flat view the whole tree below it, breadth first: the folder, then its
// subfolders in listing order, then theirs. Runs on a worker thread and touches no widget: the
// records go to the sink in batches (every few thousand rows, and at the end of a folder when
// the last hand-over is a while ago), and so do the progress percentages.
//
// Borrowed for the scan's lifetime: the icon index (read and extended; nobody else may touch
// it meanwhile), the file-type index and the folder index (read only), the cancel flag and the
// sink. The cancel flag is tested before every folder and every entry; a cancelled scan hands
// over what it has listed, and TotalBytes counts exactly those rows.
class TFolderScan {
 public:
  // imageCount: the number of icons the image list holds now; new file types get the indexes
  // from there on.
  TFolderScan(QByteArray folder, const TScanOptions& options, TStringIntIndex& iconIndex,
              std::int32_t imageCount, const TFileTypeIndex& fileTypeIndex,
              const std::atomic<bool>& cancelled, TScanSink& sink);
  ~TFolderScan();

  // The package database to ask; the system's by default.
  void SetProtectedFiles(const TProtectedFiles& protectedFiles);
  // Bytes in use on the drive, for callers that know them already; read from the drive when
  // not set. Zero or less means no usable figure (progress stays at 0).
  void SetDriveUsed(std::int64_t usedBytes);
  // Rows per hand-over at most (at least 1).
  void SetBatchRows(std::size_t rows);

  void ScanFolderTree();
  std::int64_t TotalBytes() const { return FTotalBytes; }

 private:
  struct TExtInfo {
    QByteArray Ext;  // the key of the extension's icon
    int Category = 0;
    std::int32_t ImageIndex = -1;  // -1 until a file of this type is listed
  };
  struct TViewHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };

  void ScanFolder(const QByteArray& path);
  TExtInfo& ExtInfoOf(std::string_view ext);
  std::int32_t ImageIndexOf(TExtInfo& info);
  void FillRecord(TFileNodeData& record, const QByteArray& folder, const TDirEntry& entry,
                  const TExtInfo& info, bool isProtected) const;
  void HandOver();
  void PostProgress(std::int64_t used);

  QByteArray FFolder;
  TScanOptions FOptions;
  TStringIntIndex& FIconIndex;
  std::int32_t FNextImageIndex;
  const TFileTypeIndex& FFileTypeIndex;
  const std::atomic<bool>& FCancelled;
  TScanSink& FSink;
  const TProtectedFiles* FProtectedFiles;
  std::int64_t FDriveUsed = -1;  // -1: read it from the drive
  std::size_t FBatchRows = 4096;

  std::unique_ptr<TDirListing> FListing;  // one for the whole scan: it knows the root's device
  std::deque<TFolderNode> FQueue;
  std::unordered_map<std::string, TExtInfo, TViewHash, std::equal_to<>> FExtInfos;
  TScanBatch FBatch;
  std::chrono::steady_clock::time_point FLastHandOver;
  int FLastPercent = -1;
  std::int64_t FTotalBytes = 0;
};

// Progress of a scan: total ÷ used × 100 rounded half to even, or 0 when used is not positive.
int ScanPercent(std::int64_t total, std::int64_t used);

// The key under which a folder is looked up in the system-folder index: its path with A to Z
// lowered (other bytes as they are).
std::string OSFolderKey(std::string_view folderPath);

// The system folders that a scan skips unless the user asks for them.
void FillOSFolderIndex(TStringIntIndex& index);
