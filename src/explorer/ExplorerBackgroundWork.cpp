// Running a background task from the window: disabling it, waiting for the worker with the
// event loop running, taking the worker's progress notices and row batches, and the clean-up
// that restores the window however the task ends.

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QScopeGuard>

#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/FileTypeIcons.h"
#include "explorer/FolderScan.h"
#include "explorer/ImageList.h"
#include "explorer/UEEvents.h"
#include "explorer/UniversalExplorerUnit.h"
#include "explorer/Win7TaskBarUtils.h"

bool TUniversalExplorerForm::event(QEvent* event) {
  switch (static_cast<int>(event->type())) {
    case WM_UE_PROGRESS: {
      const auto* progress = static_cast<TUEProgressEvent*>(event);
      WMUEProgress(progress->Done(), progress->Total());
      return true;
    }
    case WM_UE_SCANBATCH:
      // Another worker's batch type is not taken here and is freed with the event.
      if (std::unique_ptr<TScanBatch> batch =
              static_cast<TUEBatchEvent*>(event)->Take<TScanBatch>())
        ApplyScanBatch(*batch);
      return true;
    default:
      return QMainWindow::event(event);
  }
}

void TUniversalExplorerForm::RunBackgroundTask(TBackThreadMode mode,
                                               std::unique_ptr<TUEBackThread> thread,
                                               const QString& caption) {
  if (FTaskRunning || !thread) return;
  FTaskRunning = true;
  FCancelState->Cancelled = false;
  // From here on the window is restored however the run ends.
  const auto cleanUp = qScopeGuard([&] { FinishBackgroundTask(thread); });

  MainPanel->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (mode == btmScan) FileListView->SetRepaintSuspended(true);
  FProgressClock.FTaskCaption = caption;
  SetStatusText(caption);
  QCoreApplication::processEvents();

  // The loop handles progress, row batches, repaints and the Cancel panel until the worker has
  // ended. The quit is queued so that it runs inside exec() even when the worker ends first.
  QEventLoop loop;
  connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  thread->start();
  loop.exec();

  // Rows still queued belong to this run and must be listed before the closing count; the
  // last progress notices are taken too, so that none lands on the closing text afterwards.
  QCoreApplication::sendPostedEvents(this, WM_UE_SCANBATCH);
  QCoreApplication::sendPostedEvents(this, WM_UE_PROGRESS);
  if (mode == btmScan) {
    FTotalBytes = thread->TotalBytes();
    FileListView->SetRepaintSuspended(false);
  }
}

void TUniversalExplorerForm::FinishBackgroundTask(std::unique_ptr<TUEBackThread>& thread) {
  // The worker has ended unless the interface thread itself failed during the wait; then it
  // is asked to stop, and deleting it waits for that.
  if (thread && !thread->isFinished()) FCancelState->Cancelled = true;
  thread.reset();
  FProgressBar->setValue(0);
  SetTaskbarProgressState(0);
  FileListView->SetRepaintSuspended(false);
  SetStatusText(ViewingStatusText(FileListView->Model()->rowCount(), FTotalBytes));
  FileListView->viewport()->update();
  MainPanel->setEnabled(true);
  QApplication::restoreOverrideCursor();
  FTaskRunning = false;
  QCoreApplication::processEvents();
  if (FCloseRequested) {
    FCloseRequested = false;
    close();
  }
}

void TUniversalExplorerForm::WMUEProgress(std::int64_t done, std::int64_t total) {
  const TProgressDisplay display = FProgressClock.Update(done, total, TProgressClock::NowMs());
  if (!display.Changed) return;
  FProgressBar->setRange(0, display.Maximum);
  FProgressBar->setValue(display.Position);
  SetTaskbarProgressValue(static_cast<std::uint64_t>(FProgressBar->value()),
                          static_cast<std::uint64_t>(FProgressBar->maximum()));
  SetStatusText(display.StatusText);
}

void TUniversalExplorerForm::ApplyScanBatch(TScanBatch& batch) {
  // The scan numbers new types from the image list's count at its start, in order, so each new
  // icon goes to the end of the list. An index past the end means icons of an earlier batch
  // never arrived (a worker that failed half-way): a stand-in keeps the later ones in place.
  for (const TNewIcon& icon : batch.Icons) {
    while (FileImageList->Count() < icon.Index) FileImageList->Add(FallbackFileTypeIcon());
    if (FileImageList->Count() == icon.Index)
      FileImageList->Add(FileTypeIcon(icon.IconName, icon.GenericIconName));
  }
  FileListView->Model()->AppendRows(std::move(batch.Rows));
}
