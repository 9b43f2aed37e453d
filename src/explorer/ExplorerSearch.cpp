// "Find First" and "Find Next": a walk over the rows in list order on the interface thread, and
// the rule that keeps the resume row off rows that leave the list.

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QScopeGuard>

#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/FileSearch.h"
#include "explorer/UniversalExplorerUnit.h"

void TUniversalExplorerForm::WatchSearchNode() {
  TFileListModel* model = FileListView->Model();
  connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { FSearchNode = nullptr; });
  connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
          [this, model](const QModelIndex&, int first, int last) {
            const int row = model->RowOf(FSearchNode);
            if (row >= first && row <= last) FSearchNode = nullptr;
          });
}

void TUniversalExplorerForm::srchBtnClick(int tag) {
  if (FTaskRunning) return;
  // The walk lets the window handle events every 100 rows. With the controls disabled and
  // FTaskRunning set meanwhile, nothing can scan, sort, delete or start another search, so the
  // row numbers the walk uses stay valid until it returns.
  FTaskRunning = true;
  MainPanel->setEnabled(false);
  const QByteArray needle = FoldSearchText(srchCombo->currentText());
  const TFileListModel& model = *FileListView->Model();
  const int total = model.rowCount();
  SetStatusText(QStringLiteral("Searching ") + QString::number(total) + QStringLiteral(" files."));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto cleanUp = qScopeGuard([this] {
    SetStatusText(QStringLiteral("Done..."));
    FileListView->viewport()->update();
    QApplication::restoreOverrideCursor();
    MainPanel->setEnabled(true);
    FTaskRunning = false;
    if (FCloseRequested) {
      FCloseRequested = false;
      close();
    }
  });

  const int resumeRow = model.RowOf(FSearchNode);
  const std::int32_t start = SearchStartRow(
      tag == 1, resumeRow >= 0 ? std::optional<std::int32_t>(resumeRow) : std::nullopt);
  FSearchNode = nullptr;
  // The bar counts percent here, whatever a pass left as its maximum.
  FProgressBar->setRange(0, 100);
  const std::optional<std::int32_t> match = FindMatchingRow(
      needle, start, total,
      [&model](std::int32_t row) {
        const TFileNodeData& record = *model.Record(row);
        return std::pair<QByteArrayView, QByteArrayView>(record.Name(), record.Path);
      },
      [this](int percent) {
        FProgressBar->setValue(percent);
        QCoreApplication::processEvents();
      });
  if (!match) return;

  const QModelIndex found = model.index(*match, 0);
  FileListView->selectionModel()->setCurrentIndex(
      found, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  FileListView->scrollTo(found);
  if (const std::optional<std::int32_t> next = ResumeRowAfter(match, total))
    FSearchNode = model.Record(*next);
}
