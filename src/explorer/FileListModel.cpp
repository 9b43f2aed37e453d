#include "explorer/FileListModel.h"

#include "explorer/FileListSort.h"
#include "explorer/FileTime.h"
#include "explorer/ImageList.h"

#include <QColor>
#include <QFile>
#include <QIcon>

QString DisplayTextOf(QByteArrayView bytes) {
  // fromRawData wraps the bytes without copying them; decodeName only reads them.
  return QFile::decodeName(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

TFileListModel::TFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

TFileListModel::~TFileListModel() = default;

void TFileListModel::SetImageList(const TImageList* images) {
  FImages = images;
  if (!FRows.empty())
    emit dataChanged(index(0, fcName), index(rowCount() - 1, fcName), {Qt::DecorationRole});
}

void TFileListModel::AppendRows(std::vector<std::unique_ptr<TFileNodeData>> batch) {
  std::erase(batch, nullptr);
  if (batch.empty()) return;
  const int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + int(batch.size()) - 1);
  for (auto& record : batch) {
    record->ListRow = std::int32_t(FRows.size());
    FRows.push_back(std::move(record));
  }
  endInsertRows();
}

TFileNodeData* TFileListModel::Record(int row) const {
  if (row < 0 || row >= rowCount()) return nullptr;
  return FRows[std::size_t(row)].get();
}

int TFileListModel::RowOf(const TFileNodeData* record) const {
  if (!record) return -1;
  if (!FRowsNumbered) {
    for (std::size_t i = 0; i < FRows.size(); ++i) FRows[i]->ListRow = std::int32_t(i);
    FRowsNumbered = true;
  }
  const int row = record->ListRow;
  // A record of another list, or one already removed, fails the identity check.
  return Record(row) == record ? row : -1;
}

void TFileListModel::Clear() {
  if (FRows.empty()) return;
  beginResetModel();
  FRows.clear();
  FRowsNumbered = true;
  endResetModel();
}

void TFileListModel::RemoveRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  beginRemoveRows(QModelIndex(), row, row);
  FRows.erase(FRows.begin() + row);
  RenumberFrom(std::size_t(row));
  endRemoveRows();
}

void TFileListModel::RenumberFrom(std::size_t row) {
  if (!FRowsNumbered) return;  // RowOf renumbers all rows anyway
  for (std::size_t i = row; i < FRows.size(); ++i) FRows[i]->ListRow = std::int32_t(i);
}

void TFileListModel::SortBy(int column, Qt::SortOrder order) {
  const int oldColumn = FSortColumn;
  FSortColumn = column < 0 ? -1 : column;
  FSortOrder = order;
  if (oldColumn >= 0 && oldColumn != FSortColumn && !FRows.empty())
    emit dataChanged(index(0, oldColumn), index(rowCount() - 1, oldColumn), {Qt::BackgroundRole});
  if (FSortColumn < 0 || FRows.empty()) return;

  const std::vector<int> newOrder = FileListSortOrder(FRows, FSortColumn, order);
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOfOld(FRows.size());
  for (std::size_t newRow = 0; newRow < newOrder.size(); ++newRow)
    newRowOfOld[std::size_t(newOrder[newRow])] = int(newRow);
  std::vector<std::unique_ptr<TFileNodeData>> sorted(FRows.size());
  for (std::size_t newRow = 0; newRow < newOrder.size(); ++newRow)
    sorted[newRow] = std::move(FRows[std::size_t(newOrder[newRow])]);
  FRows = std::move(sorted);
  // Renumbering the records would touch every record in random order; RowOf does it once when
  // first asked.
  FRowsNumbered = false;
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from)
    to.append(this->index(newRowOfOld[std::size_t(index.row())], index.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  if (oldColumn != FSortColumn)
    emit dataChanged(index(0, FSortColumn), index(rowCount() - 1, FSortColumn),
                     {Qt::BackgroundRole});
  emit headerDataChanged(Qt::Horizontal, 0, fcColumnCount - 1);
}

int TFileListModel::SortColumn() const { return FSortColumn; }

Qt::SortOrder TFileListModel::SortDirection() const { return FSortOrder; }

void TFileListModel::RecordChanged(int row, int column) {
  if (row < 0 || row >= rowCount() || column >= fcColumnCount) return;
  if (column < 0)
    emit dataChanged(index(row, 0), index(row, fcColumnCount - 1));
  else
    emit dataChanged(index(row, column), index(row, column));
}

QColor TFileListModel::SortColumnColor() { return QColor(247, 247, 247); }

QString TFileListModel::CellText(const TFileNodeData& record, int column) {
  switch (column) {
    case fcName:
      return DisplayTextOf(record.Name());
    case fcType:
      return DisplayTextOf(record.Ext());
    case fcSize:
      return QString::number(record.Size);
    case fcCreated:
      return DateTimeText(record.Created);
    case fcModified:
      return DateTimeText(record.Modified);
    case fcAccessed:
      return DateTimeText(record.Accessed);
    case fcHash:
      return QString::fromLatin1(record.Hash());
    case fcPath:
      return DisplayTextOf(record.Path);
    default:
      return {};
  }
}

int TFileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(FRows.size());
}

int TFileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : fcColumnCount;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const TFileNodeData& record = *FRows[std::size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return CellText(record, index.column());
    case Qt::DecorationRole:
      if (index.column() == fcName && FImages) {
        const QIcon icon = FImages->Icon(record.ImageIndex);
        if (!icon.isNull()) return icon;
      }
      return {};
    case Qt::BackgroundRole:
      if (index.column() == FSortColumn) return SortColumnColor();
      return {};
    default:
      return {};
  }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kCaptions[fcColumnCount] = {
      "Name", "Type", "Size", "Created", "Modified", "Accessed", "Hash", "Path", "Thumbnail"};
  if (section < 0 || section >= fcColumnCount) return {};
  return QString::fromLatin1(kCaptions[section]);
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
