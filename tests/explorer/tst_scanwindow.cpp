// The folder scan through the real window, offscreen, on real temporary folders: the click,
// the toggles and the filter menu, the rows and the closing status text, the progress display,
// cancelling, a close request during a run and a failing worker.

#include <QAction>
#include <QApplication>
#include <QFileSystemModel>
#include <QProgressBar>
#include <QTreeView>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

#include "common/TestDir.h"
#include "explorer/BackThread.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/ImageList.h"
#include "explorer/StatusBar.h"
#include "explorer/UEEvents.h"
#include "explorer/UniversalExplorerUnit.h"
#include "platform/IconTheme.h"

namespace {

// A digest pass stand-in: reports progress, then waits for the cancel flag (or fails, when
// asked to), as a long pass would between rows.
class TWaitingPass : public TUEBackThread {
 public:
  // sawCancel: set when the pass ended because of the cancel flag; nullptr: fail at once.
  TWaitingPass(QObject* window, TCancelledState* cancel, std::atomic<bool>* sawCancel)
      : TUEBackThread(btmHashes, window, {}, false, false, false, false, nullptr, nullptr, 0,
                      nullptr, kAllFileTypes, cancel),
        FCancel(cancel),
        FSawCancel(sawCancel) {}

 protected:
  void Execute() override {
    Post(new TUEProgressEvent(0, 10));
    if (!FSawCancel) throw std::runtime_error("read error");
    // Bounded, so a window that never passes the click on fails the test instead of hanging.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FCancel->Cancelled && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    *FSawCancel = FCancel->Cancelled.load();
  }

 private:
  TCancelledState* FCancel;
  std::atomic<bool>* FSawCancel;
};

// Runs `action` on the window's first progress notice, before the window handles it.
class TOnFirstProgress : public QObject {
 public:
  explicit TOnFirstProgress(std::function<void()> action) : FAction(std::move(action)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == WM_UE_PROGRESS && FAction) std::exchange(FAction, nullptr)();
    return false;
  }

 private:
  std::function<void()> FAction;
};

}  // namespace

class TScanWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void flatViewToggle_data();
  void flatViewToggle();
  void hiddenFilesButNotHiddenFolders();
  void osFoldersAreSkippedOnlyAtTheirOwnPath();
  void fileTypeFilter_data();
  void fileTypeFilter();
  void menuChangeCountsFromTheNextScan();
  void windowIsRestoredAfterAScan();
  void toggleWithoutAFolderChangesOnlyTheButton();
  void progressNoticesOnTheWindow();
  void cancelKeepsTheRowsListedSoFar();
  void cancelPanelStopsARunningPass();
  void failingWorkerIsCleanedUp();
  void closeDuringAScanEndsAfterIt();

 private:
  void Select(const QByteArray& folder);
  QStringList ListedNames() const;
  std::int64_t ListedBytes() const;

  std::unique_ptr<TUniversalExplorerForm> FWindow;
  std::unique_ptr<TTestDir> FDir;
};

void TScanWindowTest::initTestCase() { SetUpIconTheme(); }

void TScanWindowTest::init() {
  FDir = std::make_unique<TTestDir>();
  QVERIFY(FDir->IsValid());
  FWindow = std::make_unique<TUniversalExplorerForm>();
  FWindow->show();
  QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TScanWindowTest::cleanup() {
  FWindow.reset();
  FDir.reset();
}

// Makes `folder` the tree's chosen folder, as a click on it does.
void TScanWindowTest::Select(const QByteArray& folder) {
  QByteArray path = folder;
  if (path.size() > 1 && path.endsWith('/')) path.chop(1);
  const QModelIndex index = FWindow->FileTreeModel->index(QFile::decodeName(path));
  QVERIFY(index.isValid());
  FWindow->FileTreeView->setCurrentIndex(index);
  QCOMPARE(FWindow->SelectedFolder(), path.endsWith('/') ? path : path + '/');
}

QStringList TScanWindowTest::ListedNames() const {
  QStringList names;
  const TFileListModel* model = FWindow->FileListView->Model();
  for (int row = 0; row < model->rowCount(); ++row)
    names += QString::fromUtf8(model->Record(row)->Name());
  return names;
}

std::int64_t TScanWindowTest::ListedBytes() const {
  std::int64_t bytes = 0;
  const TFileListModel* model = FWindow->FileListView->Model();
  for (int row = 0; row < model->rowCount(); ++row) bytes += model->Record(row)->Size;
  return bytes;
}

void TScanWindowTest::flatViewToggle_data() {
  QTest::addColumn<bool>("flat");
  QTest::addColumn<int>("rows");
  QTest::newRow("flat view up") << false << 2;
  QTest::newRow("flat view down") << true << 5;
}

void TScanWindowTest::flatViewToggle() {
  QFETCH(bool, flat);
  QFETCH(int, rows);
  QVERIFY(FDir->MakeFile("a.txt", "12") && FDir->MakeFile("b.txt", "345"));
  QVERIFY(FDir->MakeDir("sub"));
  for (const char* name : {"sub/c.txt", "sub/d.txt", "sub/e.txt"})
    QVERIFY(FDir->MakeFile(name, QByteArray(100, 'x')));
  Select(FDir->Path());

  FWindow->FileTreeViewClick();
  QCOMPARE(FWindow->FileListView->Model()->rowCount(), 2);
  if (flat) QTest::mouseClick(FWindow->rcFoldersBtn, Qt::LeftButton);  // lists again

  QCOMPARE(FWindow->rcFoldersBtn->isChecked(), flat);
  QStringList names = ListedNames();
  QCOMPARE(names.size(), rows);
  // The folder's own files come first, in whatever order the file system lists them.
  QStringList own = names.mid(0, 2);
  own.sort();
  QCOMPARE(own, QStringList({"a.txt", "b.txt"}));
  const std::int64_t bytes = flat ? 305 : 5;
  QCOMPARE(FWindow->StatusText(),
           QStringLiteral("Viewing %1 files (%2 bytes).").arg(rows).arg(bytes));
}

void TScanWindowTest::hiddenFilesButNotHiddenFolders() {
  QVERIFY(FDir->MakeFile("shown.txt") && FDir->MakeFile(".hidden.txt"));
  QVERIFY(FDir->MakeDir(".config") && FDir->MakeFile(".config/inside.txt"));
  Select(FDir->Path());
  QTest::mouseClick(FWindow->rcFoldersBtn, Qt::LeftButton);
  QStringList names = ListedNames();
  names.sort();
  QCOMPARE(names, QStringList({"inside.txt", "shown.txt"}));

  QTest::mouseClick(FWindow->showHiddenBtn, Qt::LeftButton);
  names = ListedNames();
  names.sort();
  QCOMPARE(names, QStringList({".hidden.txt", "inside.txt", "shown.txt"}));
}

void TScanWindowTest::osFoldersAreSkippedOnlyAtTheirOwnPath() {
  QVERIFY(FDir->MakeDir("data") && FDir->MakeDir("data/usr"));
  QVERIFY(FDir->MakeFile("data/usr/kept.txt", "1234"));
  FWindow->rcFoldersBtn->setChecked(true);  // flat: skipping "/usr/" skips the whole tree

  if (!QFileInfo(QStringLiteral("/usr")).isDir()) QSKIP("no /usr here");
  Select("/usr/");
  FWindow->FileTreeViewClick();
  QCOMPARE(FWindow->FileListView->Model()->rowCount(), 0);
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 0 files (0 bytes)."));

  Select(FDir->Abs("data/usr/"));
  FWindow->FileTreeViewClick();
  QCOMPARE(ListedNames(), QStringList({"kept.txt"}));
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 1 files (4 bytes)."));
}

void TScanWindowTest::fileTypeFilter_data() {
  QTest::addColumn<QList<int>>("marked");
  QTest::addColumn<QStringList>("listed");
  QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5}
                       << QStringList{"IMG.JPG",        "Makefile", "NOTES.TXT", "a.jpg",
                                      "archive.tar.gz", "b.png",    "c.doc",     "run.log"};
  QTest::newRow("application/system: capitals, no extension, .log")
      << QList<int>{0} << QStringList{"IMG.JPG", "Makefile", "NOTES.TXT", "run.log"};
  QTest::newRow("office only") << QList<int>{1} << QStringList{"c.doc"};
  QTest::newRow("images only") << QList<int>{2} << QStringList{"a.jpg", "b.png"};
  QTest::newRow("archives: last extension counts")
      << QList<int>{5} << QStringList{"archive.tar.gz"};
  QTest::newRow("none") << QList<int>{} << QStringList{};
}

void TScanWindowTest::fileTypeFilter() {
  QFETCH(QList<int>, marked);
  QFETCH(QStringList, listed);
  for (const char* name :
       {"IMG.JPG", "Makefile", "NOTES.TXT", "a.jpg", "archive.tar.gz", "b.png", "c.doc", "run.log"})
    QVERIFY(FDir->MakeFile(name, "xy"));
  for (int category = 0; category < TUniversalExplorerForm::kFileTypeCount; ++category) {
    if (!marked.contains(category)) FWindow->FileTypeItems[category]->trigger();
  }
  Select(FDir->Path());
  FWindow->FileTreeViewClick();
  QStringList names = ListedNames();
  names.sort();
  QCOMPARE(names, listed);
  QCOMPARE(
      FWindow->StatusText(),
      QStringLiteral("Viewing %1 files (%2 bytes).").arg(listed.size()).arg(2 * listed.size()));
}

void TScanWindowTest::menuChangeCountsFromTheNextScan() {
  QVERIFY(FDir->MakeFile("a.jpg") && FDir->MakeFile("c.doc"));
  Select(FDir->Path());
  FWindow->FileTreeViewClick();
  QCOMPARE(ListedNames().size(), 2);

  FWindow->FileTypeItems[2]->trigger();  // "Image Files" off
  QCOMPARE(ListedNames().size(), 2);
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 2 files (0 bytes)."));

  QTest::mouseClick(FWindow->showProtectedBtn, Qt::LeftButton);
  QCOMPARE(ListedNames(), QStringList({"c.doc"}));
}

void TScanWindowTest::windowIsRestoredAfterAScan() {
  for (const char* name : {"a.jpg", "b.jpg", "c.txt", "d.unknownext"})
    QVERIFY(FDir->MakeFile(name));
  FWindow->showHashesBtn->setChecked(true);
  FWindow->showThumbsBtn->setChecked(true);
  FWindow->MainControlBar->SetCurrentIndex(1);  // a scan from the Timeline page
  Select(FDir->Path());
  QTest::keyClick(FWindow->FileTreeView, Qt::Key_Return);  // Enter lists the folder too

  QCOMPARE(ListedNames().size(), 4);
  QVERIFY(!FWindow->showHashesBtn->isChecked());
  QVERIFY(!FWindow->showThumbsBtn->isChecked());
  QVERIFY(FWindow->MainPanel->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QCOMPARE(FWindow->FProgressBar->value(), 0);
  QVERIFY(!FWindow->CancelState()->Cancelled);
  QVERIFY(!FWindow->FileListView->RepaintSuspended());
  QVERIFY(!FWindow->TaskRunning());
  QVERIFY(!FWindow->FileListView->isVisible());  // the page stays as it was
  FWindow->MainControlBar->SetCurrentIndex(0);
  QVERIFY(FWindow->FileListView->isVisible());

  // One icon per extension, made on the interface thread, and none again for a second scan.
  const int icons = FWindow->FileImageList->Count();
  QCOMPARE(icons, 3);
  const TFileListModel* model = FWindow->FileListView->Model();
  for (int row = 0; row < model->rowCount(); ++row) {
    const int image = model->Record(row)->ImageIndex;
    QVERIFY(image >= 0 && image < icons);
    QVERIFY(!FWindow->FileImageList->Icon(image).isNull());
  }
  for (int row = 0; row < model->rowCount(); ++row) {
    for (int other = 0; other < model->rowCount(); ++other) {
      QCOMPARE(
          model->Record(row)->ImageIndex == model->Record(other)->ImageIndex,
          model->Record(row)->Ext().toByteArray() == model->Record(other)->Ext().toByteArray());
    }
  }
  FWindow->FileTreeViewClick();
  QCOMPARE(FWindow->FileImageList->Count(), icons);
}

void TScanWindowTest::toggleWithoutAFolderChangesOnlyTheButton() {
  FWindow->FileTreeView->setCurrentIndex(QModelIndex());
  QCOMPARE(FWindow->SelectedFolder(), QByteArray());
  QTest::mouseClick(FWindow->rcFoldersBtn, Qt::LeftButton);
  QVERIFY(FWindow->rcFoldersBtn->isChecked());
  QCOMPARE(FWindow->StatusText(), QString());
  QCOMPARE(FWindow->FileListView->Model()->rowCount(), 0);
}

void TScanWindowTest::progressNoticesOnTheWindow() {
  QProgressBar* bar = FWindow->FProgressBar;
  FWindow->FProgressClock.FTaskCaption = QStringLiteral("Getting Files...");
  const auto post = [this](std::int64_t done, std::int64_t total) {
    QCoreApplication::postEvent(FWindow.get(), new TUEProgressEvent(done, total));
    QCoreApplication::sendPostedEvents(FWindow.get(), WM_UE_PROGRESS);
  };

  post(0, 100);
  post(50, 100);
  QCOMPARE(bar->maximum(), 100);
  QCOMPARE(bar->value(), 50);
  QVERIFY2(
      FWindow->StatusText().startsWith(QStringLiteral("Getting Files... (Time Remaining: 00:")),
      qPrintable(FWindow->StatusText()));

  // The same value again changes nothing on screen.
  FWindow->SetStatusText(QStringLiteral("unchanged"));
  post(50, 100);
  QCOMPARE(FWindow->StatusText(), QStringLiteral("unchanged"));
  QCOMPARE(bar->value(), 50);

  // 0 restarts the clock and shows; a percentage past the total fills the bar.
  const std::int64_t before = FWindow->FProgressClock.FTaskStart;
  post(0, 100);
  QVERIFY(FWindow->FProgressClock.FTaskStart >= before);
  QCOMPARE(bar->value(), 0);
  QVERIFY(FWindow->StatusText().startsWith(QStringLiteral("Getting Files... (Time Remaining: ")));
  post(120, 100);
  QCOMPARE(bar->value(), 100);

  // A pass over 250 rows: its maximum is the row count.
  FWindow->FProgressClock.FTaskCaption = QStringLiteral("Getting MD5 Hashes...");
  for (int done : {0, 100, 200}) post(done, 250);
  QCOMPARE(std::pair(bar->value(), bar->maximum()), std::pair(200, 250));
  QVERIFY(
      FWindow->StatusText().startsWith(QStringLiteral("Getting MD5 Hashes... (Time Remaining: ")));
}

void TScanWindowTest::cancelKeepsTheRowsListedSoFar() {
  // Many folders, so the scan is still walking when the Cancel panel is clicked on its first
  // notice. Wherever the cancel lands, what stays listed is counted exactly.
  constexpr int kFolders = 1500;
  for (int folder = 0; folder < kFolders; ++folder) {
    const QByteArray name = "d" + QByteArray::number(folder);
    QVERIFY(FDir->MakeDir(name) && FDir->MakeFile(name + "/f.txt", QByteArray(folder % 7, 'x')));
  }
  FWindow->rcFoldersBtn->setChecked(true);
  Select(FDir->Path());
  TStatusBar* statusBar = FWindow->StatusBar;
  TOnFirstProgress clickCancel([statusBar] {
    QTest::mouseClick(statusBar, Qt::LeftButton, {}, statusBar->PanelRect(2).center());
  });
  FWindow->installEventFilter(&clickCancel);
  FWindow->FileTreeViewClick();
  FWindow->removeEventFilter(&clickCancel);

  const int rows = FWindow->FileListView->Model()->rowCount();
  QVERIFY(rows <= kFolders);
  QCOMPARE(FWindow->StatusText(),
           QStringLiteral("Viewing %1 files (%2 bytes).").arg(rows).arg(ListedBytes()));
  QCOMPARE(FWindow->FTotalBytes, ListedBytes());
  for (const QString& name : ListedNames()) QCOMPARE(name, QStringLiteral("f.txt"));
  QVERIFY(FWindow->MainPanel->isEnabled());
  qInfo("%d of %d rows listed before the cancel took effect", rows, kFolders);
}

void TScanWindowTest::cancelPanelStopsARunningPass() {
  QVERIFY(FDir->MakeFile("a.txt", "abc"));
  Select(FDir->Path());
  FWindow->FileTreeViewClick();

  std::atomic<bool> sawCancel{false};
  bool disabledDuringRun = false;
  TStatusBar* statusBar = FWindow->StatusBar;
  TOnFirstProgress clickCancel([&] {
    disabledDuringRun = !FWindow->MainPanel->isEnabled() && QApplication::overrideCursor();
    QTest::mouseClick(statusBar, Qt::LeftButton, {}, statusBar->PanelRect(2).center());
  });
  FWindow->installEventFilter(&clickCancel);
  FWindow->RunBackgroundTask(
      btmHashes, std::make_unique<TWaitingPass>(FWindow.get(), FWindow->CancelState(), &sawCancel),
      QStringLiteral("Getting MD5 Hashes..."));
  FWindow->removeEventFilter(&clickCancel);

  QVERIFY(disabledDuringRun);
  QVERIFY(sawCancel);
  // The listed rows and the byte count of the last scan stay.
  QCOMPARE(ListedNames(), QStringList({"a.txt"}));
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 1 files (3 bytes)."));
}

void TScanWindowTest::failingWorkerIsCleanedUp() {
  QVERIFY(FDir->MakeFile("a.txt", "abcd"));
  Select(FDir->Path());
  FWindow->FileTreeViewClick();

  FWindow->RunBackgroundTask(
      btmHashes, std::make_unique<TWaitingPass>(FWindow.get(), FWindow->CancelState(), nullptr),
      QStringLiteral("Getting MD5 Hashes..."));
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 1 files (4 bytes)."));
  QCOMPARE(FWindow->FProgressBar->value(), 0);
  QVERIFY(FWindow->MainPanel->isEnabled());
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QVERIFY(!FWindow->TaskRunning());
  QCOMPARE(ListedNames(), QStringList({"a.txt"}));
}

void TScanWindowTest::closeDuringAScanEndsAfterIt() {
  QVERIFY(FDir->MakeFile("a.txt", "ab") && FDir->MakeFile("b.txt", "c"));
  Select(FDir->Path());
  bool refused = false;
  TOnFirstProgress closeNow([&] { refused = !FWindow->close(); });
  FWindow->installEventFilter(&closeNow);
  FWindow->FileTreeViewClick();
  FWindow->removeEventFilter(&closeNow);

  QVERIFY(refused);                   // the close waited for the scan ...
  QCOMPARE(ListedNames().size(), 2);  // ... which was not cancelled
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 2 files (3 bytes)."));
  QVERIFY(!FWindow->isVisible());  // and then closed the window
}

QTEST_MAIN(TScanWindowTest)
#include "tst_scanwindow.moc"
