#include "explorer/FolderScan.h"

#include "containers/StringIndex.h"
#include "explorer/FileTime.h"
#include "platform/FileSystem.h"
#include "platform/ProtectedFiles.h"

#include <QMimeDatabase>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A folder that ends after this long since the last hand-over hands over its rows even when
// the batch is small, so the list fills while a scan of many small folders runs.
constexpr auto kHandOverInterval = std::chrono::milliseconds(50);

std::string_view ExtOfEntry(const TDirEntry& entry) {
  const QByteArrayView ext =
      ExtOfName(QByteArrayView(entry.Name.data(), qsizetype(entry.Name.size())));
  return std::string_view(ext.data(), std::size_t(ext.size()));
}

std::int64_t UnixMsOf(const TTimeStamp& stamp) { return UnixMsFromTimespec(stamp.Sec, stamp.Nsec); }

}  // namespace

int ScanPercent(std::int64_t total, std::int64_t used) {
  if (used <= 0) return 0;
  const double percent = static_cast<double>(total) / static_cast<double>(used) * 100.0;
  // Sizes of sparse or compressed files can pass the used space by far; keep within int.
  return static_cast<int>(std::nearbyint(std::min(percent, 1e9)));
}

std::string OSFolderKey(std::string_view folderPath) {
  std::string key(folderPath);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

void FillOSFolderIndex(TStringIntIndex& index) {
  for (const char* folder :
       {"/usr/", "/opt/", "/boot/", "/etc/", "/proc/", "/sys/", "/dev/", "/run/"})
    index.AddNext(folder);
}

TFolderScan::TFolderScan(QByteArray folder, const TScanOptions& options, TStringIntIndex& iconIndex,
                         std::int32_t imageCount, const TFileTypeIndex& fileTypeIndex,
                         const std::atomic<bool>& cancelled, TScanSink& sink)
    : FFolder(std::move(folder)),
      FOptions(options),
      FIconIndex(iconIndex),
      FNextImageIndex(imageCount),
      FFileTypeIndex(fileTypeIndex),
      FCancelled(cancelled),
      FSink(sink),
      FProtectedFiles(&SystemProtectedFiles()),
      FListing(std::make_unique<TDirListing>()) {}

TFolderScan::~TFolderScan() = default;

void TFolderScan::SetProtectedFiles(const TProtectedFiles& protectedFiles) {
  FProtectedFiles = &protectedFiles;
}

void TFolderScan::SetDriveUsed(std::int64_t usedBytes) { FDriveUsed = usedBytes; }

void TFolderScan::SetBatchRows(std::size_t rows) { FBatchRows = std::max<std::size_t>(rows, 1); }

void TFolderScan::ScanFolderTree() {
  FTotalBytes = 0;
  std::int64_t used = FDriveUsed;
  if (used < 0) {
    const auto space = DriveSpaceOf(std::string_view(FFolder.constData(), FFolder.size()));
    used = space ? space->Total - space->FreeForUser : 0;
  }
  QByteArray root = FFolder;
  if (!root.endsWith('/')) root.append('/');
  FQueue.push_back({root});
  FLastHandOver = std::chrono::steady_clock::now();

  while (!FQueue.empty() && !FCancelled.load(std::memory_order_relaxed)) {
    PostProgress(used);
    const TFolderNode& head = FQueue.front();
    if (!FOptions.OSFolderIndex || FOptions.OSFolderIndex->ValueOf(OSFolderKey(std::string_view(
                                       head.Path.constData(), head.Path.size()))) == -1)
      ScanFolder(head.Path);
    FQueue.pop_front();
  }
  FQueue.clear();
  // Also after a cancel: every row listed and every icon index given out reaches the list.
  HandOver();
}

// Posts the percentage when it is even and differs from the one posted last. Repeating a
// value would show nothing new, and a repeated 0 would restart the window's clock for the
// remaining-time estimate at every folder.
void TFolderScan::PostProgress(std::int64_t used) {
  const int percent = ScanPercent(FTotalBytes, used);
  if (percent % 2 != 0 || percent == FLastPercent) return;
  FLastPercent = percent;
  FSink.OnProgress(percent, 100);
}

void TFolderScan::ScanFolder(const QByteArray& path) {
  TDirListing& listing = *FListing;
  if (!listing.Open(std::string_view(path.constData(), path.size()))) return;
  const bool mayHoldProtected =
      FProtectedFiles->FolderMayHold(std::string_view(path.constData(), path.size()));
  std::string fullPath;
  TDirEntry entry;
  while (!FCancelled.load(std::memory_order_relaxed) && listing.Next(entry, FOptions.FlatView)) {
    if (entry.Kind == ekFolder) {
      // Folders are entered whatever their hidden, system or protection state.
      QByteArray subfolder;
      subfolder.reserve(path.size() + static_cast<qsizetype>(entry.Name.size()) + 1);
      subfolder.append(path).append(entry.Name.data(), entry.Name.size()).append('/');
      FQueue.push_back({std::move(subfolder)});
      continue;
    }
    if ((entry.IsSystem && !FOptions.ShowSystem) || (entry.IsHidden && !FOptions.ShowHidden))
      continue;
    bool isProtected = false;
    if (mayHoldProtected) {
      fullPath.assign(path.constData(), path.size()).append(entry.Name);
      isProtected = FProtectedFiles->IsProtected(fullPath);
      if (isProtected && !FOptions.ShowProtected) continue;
    }
    TExtInfo& info = ExtInfoOf(ExtOfEntry(entry));
    if (!FOptions.TypeFilter[static_cast<std::size_t>(info.Category)]) continue;

    ImageIndexOf(info);
    auto record = std::make_unique<TFileNodeData>();
    FillRecord(*record, path, entry, info, isProtected);
    FTotalBytes += record->Size;
    FBatch.Rows.push_back(std::move(record));
    if (FBatch.Rows.size() >= FBatchRows) HandOver();
  }
  if (!FBatch.Rows.empty() && std::chrono::steady_clock::now() - FLastHandOver >= kHandOverInterval)
    HandOver();
}

// The one place that turns a listed entry into a record.
void TFolderScan::FillRecord(TFileNodeData& record, const QByteArray& folder,
                             const TDirEntry& entry, const TExtInfo& info, bool isProtected) const {
  // One allocation of the exact size for the path; the name and the extension are offsets in it.
  const auto nameLength = static_cast<qsizetype>(entry.Name.size());
  QByteArray path(folder.size() + nameLength, Qt::Uninitialized);
  std::memcpy(path.data(), folder.constData(), std::size_t(folder.size()));
  std::memcpy(path.data() + folder.size(), entry.Name.data(), std::size_t(nameLength));
  record.SetPath(std::move(path), folder.size());
  record.Size = entry.Size;
  record.Modified = UnixMsOf(entry.Modified);
  record.Accessed = UnixMsOf(entry.Accessed);
  record.Created = entry.HasCreated ? UnixMsOf(entry.Created) : kUnknownTime;
  record.ImageIndex = info.ImageIndex;
  record.IsHidden = entry.IsHidden;
  record.IsSystem = entry.IsSystem;
  record.IsReadOnly = entry.IsReadOnly;
  record.IsProtected = isProtected;
}

TFolderScan::TExtInfo& TFolderScan::ExtInfoOf(std::string_view ext) {
  auto found = FExtInfos.find(ext);
  if (found != FExtInfos.end()) return found->second;
  TExtInfo info;
  info.Ext = QByteArray(ext.data(), static_cast<qsizetype>(ext.size()));
  info.Category = FileTypeOf(FFileTypeIndex, ext);
  return FExtInfos.emplace(std::string(ext), std::move(info)).first->second;
}

// One icon per extension (letter case kept) over the program's run: the icon index remembers
// what earlier scans handed to the image list.
std::int32_t TFolderScan::ImageIndexOf(TExtInfo& info) {
  if (info.ImageIndex >= 0) return info.ImageIndex;
  const std::string_view ext(info.Ext.constData(), static_cast<std::size_t>(info.Ext.size()));
  std::int32_t index = FIconIndex.ValueOf(ext);
  if (index < 0) {
    index = FNextImageIndex++;
    FIconIndex.Add(ext, index);
    // The type is found from the extension alone, not from the first file that has it, so an
    // extension's icon does not depend on which file the scan met first.
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(
        QLatin1String("file") + QString::fromUtf8(info.Ext), QMimeDatabase::MatchExtension);
    FBatch.Icons.push_back({index, mime.iconName(), mime.genericIconName()});
  }
  info.ImageIndex = index;
  return index;
}

void TFolderScan::HandOver() {
  FLastHandOver = std::chrono::steady_clock::now();
  if (FBatch.Rows.empty() && FBatch.Icons.empty()) return;
  FSink.OnBatch(std::move(FBatch));
  FBatch = TScanBatch();
}
