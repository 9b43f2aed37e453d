#include "containers/StringIndex.h"
#include "explorer/BackThread.h"
#include "explorer/CancelledState.h"
#include "explorer/FolderScan.h"
#include "explorer/UEEvents.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <stdexcept>

namespace {

// Stands in for the window: keeps what the worker posts, on the interface thread.
class TReceiver : public QObject {
 public:
  std::vector<std::unique_ptr<TFileNodeData>> Rows;
  std::vector<TNewIcon> Icons;
  QList<QPair<qint64, qint64>> Progress;
  int ForeignBatches = 0;
  std::vector<std::pair<TFileNodeData*, std::optional<TDigest>>> Digests;
  std::vector<TFileNodeData*> Selected;

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() == WM_UE_DIGESTBATCH) {
      std::unique_ptr<TDigestBatch> batch = static_cast<TUEDigestBatchEvent*>(event)->Take();
      Digests.insert(Digests.end(), batch->Digests.begin(), batch->Digests.end());
      Selected.insert(Selected.end(), batch->Select.begin(), batch->Select.end());
      for (TFileNodeData* record : batch->Deselect) std::erase(Selected, record);
    } else if (event->type() == WM_UE_PROGRESS) {
      const auto* progress = static_cast<TUEProgressEvent*>(event);
      Progress.append({progress->Done(), progress->Total()});
    } else if (event->type() == WM_UE_SCANBATCH) {
      std::unique_ptr<TScanBatch> batch = static_cast<TUEBatchEvent*>(event)->Take<TScanBatch>();
      if (!batch) {
        ++ForeignBatches;
        return;
      }
      for (auto& row : batch->Rows) Rows.push_back(std::move(row));
      for (TNewIcon& icon : batch->Icons) Icons.push_back(std::move(icon));
    }
  }
};

// A body that posts one notice and then fails, as a pass hitting an error would.
template <class TError>
class TFailingThread : public TUEBackThread {
 public:
  TFailingThread(QObject* window, TCancelledState* cancel, TError error)
      : TUEBackThread(btmHashes, window, {}, false, false, false, false, nullptr, nullptr, 0,
                      nullptr, kAllFileTypes, cancel),
        FError(error) {}

 protected:
  void Execute() override {
    Post(new TUEProgressEvent(0, 10));
    throw FError;
  }

 private:
  TError FError;
};

void WriteFile(const QString& path, qint64 size) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(QByteArray(size, 'x')), size);
}

// Waits for the thread with the event loop running, then delivers what is still queued, as
// the window does before it writes its closing text.
void Finish(QThread& thread, QObject& receiver) {
  QTRY_VERIFY_WITH_TIMEOUT(thread.isFinished(), 30000);
  QCoreApplication::sendPostedEvents(&receiver, 0);
}

}  // namespace

class TestBackThread : public QObject {
  Q_OBJECT

 private:
  TFileTypeIndex FTypes;
  TCancelledState FCancel;
  QTemporaryDir FDir;
  QByteArray FFolder;

 private slots:
  void initTestCase() {
    FillFileTypeIndex(FTypes);
    QVERIFY(FDir.isValid());
    // Three files of 512 bytes: two in the folder, one in a subfolder.
    QVERIFY(QDir(FDir.path()).mkdir(QStringLiteral("sub")));
    WriteFile(FDir.filePath(QStringLiteral("a.txt")), 512);
    WriteFile(FDir.filePath(QStringLiteral("b.png")), 512);
    WriteFile(FDir.filePath(QStringLiteral("sub/c.txt")), 512);
    FFolder = QFile::encodeName(FDir.path());
  }
  void init() { FCancel.Cancelled = false; }

  void NothingToDoEndsAtOnce_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("unknown mode") << 7;
    QTest::newRow("hash pass, no rows") << int{btmHashes};
    QTest::newRow("duplicate pass, no rows") << int{btmDuplicates};
  }
  void NothingToDoEndsAtOnce() {
    QFETCH(int, mode);
    TReceiver receiver;
    TStringIntIndex icons;
    TUEBackThread thread(static_cast<TBackThreadMode>(mode), &receiver, FFolder, true, true, true,
                         true, nullptr, &icons, 0, &FTypes, kAllFileTypes, &FCancel);
    thread.start();
    Finish(thread, receiver);
    QVERIFY(receiver.Progress.isEmpty());
    QVERIFY(receiver.Rows.empty());
    QCOMPARE(thread.TotalBytes(), std::int64_t{0});
  }

  void FailureEndsTheThreadQuietly() {
    TReceiver receiver;
    {
      TFailingThread<std::runtime_error> thread(&receiver, &FCancel,
                                                std::runtime_error("disk gone"));
      thread.start();
      Finish(thread, receiver);
    }
    {
      TFailingThread<int> thread(&receiver, &FCancel, 5);
      thread.start();
      Finish(thread, receiver);
    }
    // What was posted before the failure still arrives.
    QCOMPARE(receiver.Progress, (QList<QPair<qint64, qint64>>{{0, 10}, {0, 10}}));
  }

  void ScanPostsRowsAndProgress_data() {
    QTest::addColumn<bool>("flatView");
    QTest::addColumn<int>("rows");
    QTest::newRow("flat view") << true << 3;
    QTest::newRow("one folder") << false << 2;
  }
  void ScanPostsRowsAndProgress() {
    QFETCH(bool, flatView);
    QFETCH(int, rows);
    TReceiver receiver;
    TStringIntIndex icons;
    TTypeFilter filter = kAllFileTypes;
    constexpr std::int32_t kImagesBefore = 5;
    TUEBackThread thread(btmScan, &receiver, FFolder, flatView, false, false, false, nullptr,
                         &icons, kImagesBefore, &FTypes, filter, &FCancel);
    // The thread keeps its own copy: a change of the menu after the start does not reach it.
    filter.fill(false);
    thread.start();
    Finish(thread, receiver);

    QCOMPARE(int(receiver.Rows.size()), rows);
    QCOMPARE(thread.TotalBytes(), std::int64_t{512} * rows);
    for (const auto& row : receiver.Rows) {
      QVERIFY(row->Path.startsWith(FFolder));
      QCOMPARE(row->Size, std::int64_t{512});
    }
    QVERIFY(!receiver.Icons.empty());
    for (const TNewIcon& icon : receiver.Icons) QVERIFY(icon.Index >= kImagesBefore);
    // The first folder starts at 0 %; every notice is out of 100.
    QVERIFY(!receiver.Progress.isEmpty());
    QCOMPARE(receiver.Progress.first(), (QPair<qint64, qint64>{0, 100}));
    for (const auto& [done, total] : receiver.Progress) QCOMPARE(total, qint64{100});
    QCOMPARE(receiver.ForeignBatches, 0);
  }

  void CancelBeforeStartListsNothing() {
    TReceiver receiver;
    TStringIntIndex icons;
    FCancel.Cancelled = true;
    TUEBackThread thread(btmScan, &receiver, FFolder, true, false, false, false, nullptr, &icons, 0,
                         &FTypes, kAllFileTypes, &FCancel);
    thread.start();
    Finish(thread, receiver);
    QVERIFY(receiver.Rows.empty());
    QCOMPARE(thread.TotalBytes(), std::int64_t{0});
  }

  void WithoutReceiverEventsAreDropped() {
    // Nobody takes the rows: they are freed, not leaked (checked under the sanitizers).
    TStringIntIndex icons;
    TUEBackThread thread(btmScan, nullptr, FFolder, true, false, false, false, nullptr, &icons, 0,
                         &FTypes, kAllFileTypes, &FCancel);
    thread.start();
    QVERIFY(thread.wait(QDeadlineTimer(30000)));
    QCOMPARE(thread.TotalBytes(), std::int64_t{1536});
  }

  // 250 rows: progress at 0, 100 and 200 out of 250 in both passes; the hash pass digests every
  // row, the duplicate pass only rows without a known digest and decides by the digests alone.
  void PassesOverRows() {
    std::vector<std::unique_ptr<TFileNodeData>> records;
    std::vector<TFileNodeData*> rows;
    for (int i = 0; i < 250; ++i) {
      records.push_back(MakeFileRecord(QFile::encodeName(FDir.filePath(i < 3 ? "a.txt" : "gone"))));
      rows.push_back(records.back().get());
    }
    const QList<QPair<qint64, qint64>> progress{{0, 250}, {100, 250}, {200, 250}};
    {
      TReceiver receiver;
      TUEBackThread thread(btmHashes, &receiver, {}, false, false, false, false, nullptr, nullptr,
                           0, nullptr, kAllFileTypes, &FCancel, rows);
      thread.start();
      Finish(thread, receiver);
      QCOMPARE(receiver.Progress, progress);
      QCOMPARE(receiver.Digests.size(), std::size_t{250});
      for (std::size_t i = 0; i < 250; ++i) {
        QCOMPARE(receiver.Digests[i].first, rows[i]);
        QCOMPARE(receiver.Digests[i].second.has_value(), i < 3);  // "gone" cannot be read
      }
    }
    {
      // Rows 3 and 4 name a missing file but carry a digest from before: it is reused, so they
      // are duplicates of each other; rows 0 to 2 are read and are duplicates too.
      std::vector<std::optional<TDigest>> known(250);
      known[3] = known[4] = TDigest{1, 2, 3};
      TReceiver receiver;
      TUEBackThread thread(btmDuplicates, &receiver, {}, false, false, false, false, nullptr,
                           nullptr, 0, nullptr, kAllFileTypes, &FCancel, rows);
      thread.SetKnownDigests(known);
      thread.start();
      Finish(thread, receiver);
      QCOMPARE(receiver.Progress, progress);
      QCOMPARE(receiver.Digests.size(), std::size_t{3});  // only what was computed anew
      // Rows 0 to 2 are one file on disk listed three times: none is selected against itself.
      QCOMPARE(receiver.Selected, std::vector<TFileNodeData*>{rows[3]});
    }
  }

  void UntakenBatchIsFreedWithItsEvent() {
    TUEBatchEvent event(std::make_unique<TScanBatch>());
    QVERIFY(!event.Take<int>());  // another type: not handed out
    QVERIFY(event.Take<TScanBatch>());
    QVERIFY(!event.Take<TScanBatch>());  // taken once only
    TUEBatchEvent untaken(std::make_unique<std::vector<int>>(1000, 7));
    QCOMPARE(untaken.type(), static_cast<QEvent::Type>(WM_UE_SCANBATCH));
  }
};

QTEST_GUILESS_MAIN(TestBackThread)
#include "tst_backthread.moc"
