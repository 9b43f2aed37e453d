#pragma once

#include "explorer/FileNodeData.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

class TImageList;

// Columns of the file list, by model index; a column keeps its index when the user drags it.
enum TFileColumn : int {
  fcName = 0,
  fcType,
  fcSize,
  fcCreated,
  fcModified,
  fcAccessed,
  fcHash,
  fcPath,
  fcThumbnail,
  fcColumnCount
};

// The text shown for a name or path: the file system's bytes decoded as file names are.
QString DisplayTextOf(QByteArrayView bytes);

// The file list's rows: a flat table over a vector of records that the model owns. A record's
// address never changes while it is listed (sorting permutes the pointers), and a record is
// freed only when its row is removed or the list is cleared.
//
// Rows come in batches at the end (one insertion per batch, never a reset) and stay in their
// order until SortBy; rows appended after a sort are not sorted in. Sorting moves persistent
// indexes with their records, so the selection and the current row follow the files.
//
// data() is cheap for every role and keeps no text caches: cell texts are made from the record
// when a cell is painted. Interface thread only.
class TFileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TFileListModel(QObject* parent = nullptr);
  ~TFileListModel() override;

  // Icons for column 0, by the records' ImageIndex; the list does not own them.
  void SetImageList(const TImageList* images);
  void AppendRows(std::vector<std::unique_ptr<TFileNodeData>> batch);
  TFileNodeData* Record(int row) const;          // nullptr when out of range
  int RowOf(const TFileNodeData* record) const;  // -1 when not listed here
  void Clear();
  void RemoveRow(int row);
  // Sorts by a column (any index; columns without an order keep the rows as they are) and
  // makes it the sort column, whose cells get the sort background.
  void SortBy(int column, Qt::SortOrder order);
  int SortColumn() const;  // -1 when the list was never sorted
  Qt::SortOrder SortDirection() const;
  // Tells the views that a record changed outside the model (a digest, a thumbnail).
  void RecordChanged(int row, int column = -1);

  // The background of the sort column's cells.
  static QColor SortColumnColor();
  // The text of a cell, as shown and as copied.
  static QString CellText(const TFileNodeData& record, int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void RenumberFrom(std::size_t row);

  std::vector<std::unique_ptr<TFileNodeData>> FRows;
  const TImageList* FImages = nullptr;
  // False after a sort until RowOf renumbers the records' ListRow.
  mutable bool FRowsNumbered = true;
  int FSortColumn = -1;
  Qt::SortOrder FSortOrder = Qt::AscendingOrder;
};
