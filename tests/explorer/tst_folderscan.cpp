#include "containers/StringIndex.h"
#include "explorer/FolderScan.h"
#include "platform/ProtectedFiles.h"

#include "common/TestDir.h"

#include <QtTest>

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <functional>
#include <set>

namespace {

using TNames = QList<QByteArray>;

// Keeps what the scan hands over, like the list does, and checks on the way that every row's
// icon was handed over no later than the row itself.
class TCollectSink : public TScanSink {
 public:
  explicit TCollectSink(std::int32_t imageCount) : FImageCount(imageCount) {}

  void OnBatch(TScanBatch&& batch) override {
    ++Batches;
    for (TNewIcon& icon : batch.Icons) {
      if (icon.Index != FImageCount + static_cast<std::int32_t>(Icons.size())) IconsLineUp = false;
      Icons.push_back(std::move(icon));
    }
    for (auto& row : batch.Rows) {
      if (row->ImageIndex >= FImageCount + static_cast<std::int32_t>(Icons.size()))
        IconsLineUp = false;
      Rows.push_back(std::move(row));
    }
    if (OnEachBatch) OnEachBatch();
  }
  void OnProgress(int done, int total) override {
    if (total != 100) ProgressTotalsRight = false;
    Percents.push_back(done);
    if (OnEachProgress) OnEachProgress(done);
  }

  // Row paths relative to `base`, in hand-over order.
  TNames Paths(const QByteArray& base) const {
    TNames paths;
    for (const auto& row : Rows) paths.append(row->Path.mid(base.size()));
    return paths;
  }
  const TFileNodeData* Row(const QByteArray& path) const {
    for (const auto& row : Rows) {
      if (row->Path == path) return row.get();
    }
    return nullptr;
  }
  std::int64_t SizeOfRows() const {
    std::int64_t sum = 0;
    for (const auto& row : Rows) sum += row->Size;
    return sum;
  }

  std::vector<std::unique_ptr<TFileNodeData>> Rows;
  std::vector<TNewIcon> Icons;
  QList<int> Percents;
  int Batches = 0;
  bool IconsLineUp = true;
  bool ProgressTotalsRight = true;
  std::function<void()> OnEachBatch;
  std::function<void(int)> OnEachProgress;

 private:
  std::int32_t FImageCount;
};

TScanOptions FlatAll() {
  TScanOptions options;
  options.FlatView = true;
  options.ShowHidden = options.ShowSystem = options.ShowProtected = true;
  return options;
}

TNames Sorted(TNames names) {
  std::sort(names.begin(), names.end());
  return names;
}

QByteArray ReadAll(const QByteArray& path) {
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return "<cannot open>";
  QByteArray content(64, '\0');
  const ssize_t got = ::read(fd, content.data(), static_cast<size_t>(content.size()));
  ::close(fd);
  return content.left(got < 0 ? 0 : got);
}

}  // namespace

class TFolderScanTest : public QObject {
  Q_OBJECT

 private:
  static constexpr std::int32_t kImageCount = 3;  // icons the image list already has

  TFileTypeIndex FTypes;
  TStringIntIndex FIcons;
  std::atomic<bool> FCancelled{false};
  const TProtectedFiles FNoPackages{"/nonexistent/package/database"};

  // Runs one scan; `setUp` may adjust the scan before it starts. Returns the byte total.
  std::int64_t Run(const QByteArray& folder, const TScanOptions& options, TCollectSink& sink,
                   const std::function<void(TFolderScan&)>& setUp = {},
                   TStringIntIndex* icons = nullptr) {
    TStringIntIndex freshIcons;
    TFolderScan scan(folder, options, icons ? *icons : freshIcons, kImageCount, FTypes, FCancelled,
                     sink);
    scan.SetProtectedFiles(FNoPackages);
    scan.SetDriveUsed(0);
    if (setUp) setUp(scan);
    scan.ScanFolderTree();
    return scan.TotalBytes();
  }

 private slots:
  void initTestCase() { FillFileTypeIndex(FTypes); }
  void init() { FCancelled = false; }

  // "Flat View" down means the subfolders are listed too, after the folder's own files.
  void flatView_data() {
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("rows");
    QTest::newRow("folder only") << false << 2;
    QTest::newRow("with subfolders") << true << 5;
  }
  void flatView() {
    QFETCH(bool, flat);
    TTestDir dir;
    for (const char* name : {"a", "b", "sub/c", "sub/d", "sub/e"}) {
      if (QByteArray(name) == "sub/c") QVERIFY(dir.MakeDir("sub"));
      QVERIFY(dir.MakeFile(name, "12"));
    }
    TScanOptions options;
    options.FlatView = flat;
    TCollectSink sink(kImageCount);
    const std::int64_t total = Run(dir.Path(), options, sink);
    const TNames paths = sink.Paths(dir.Path());
    QTEST(int(paths.size()), "rows");
    QCOMPARE(total, 2 * paths.size());
    QCOMPARE(Sorted(paths.mid(0, 2)), TNames({"a", "b"}));
  }

  // One button shows both hidden and system files; folders are entered whatever they are.
  void hiddenAndSystem_data() {
    QTest::addColumn<bool>("show");
    QTest::addColumn<TNames>("listed");
    QTest::newRow("hidden") << false << TNames{".hd/x", "ok"};
    QTest::newRow("shown") << true << TNames{".h", ".hd/x", "ok", "pipe", "sock"};
  }
  void hiddenAndSystem() {
    QFETCH(bool, show);
    TTestDir dir;
    QVERIFY(dir.MakeFile("ok") && dir.MakeFile(".h") && dir.MakeDir(".hd") &&
            dir.MakeFile(".hd/x") && dir.MakeFifo("pipe") && dir.MakeSocket("sock"));
    TScanOptions options;
    options.FlatView = true;
    options.ShowHidden = options.ShowSystem = show;
    TCollectSink sink(kImageCount);
    Run(dir.Path(), options, sink);  // a FIFO is never opened, so nothing blocks
    QTEST(Sorted(sink.Paths(dir.Path())), "listed");
    if (show) {
      QVERIFY(sink.Row(dir.Abs(".h"))->IsHidden);
      QVERIFY(!sink.Row(dir.Abs(".hd/x"))->IsHidden);
      QVERIFY(sink.Row(dir.Abs("pipe"))->IsSystem);
      QVERIFY(sink.Row(dir.Abs("sock"))->IsSystem);
      QVERIFY(!sink.Row(dir.Abs("ok"))->IsSystem);
    }
  }

  // Only whole keys match: a "usr" folder elsewhere is scanned, a listed key is skipped with
  // everything below it.
  void skipsSystemFolders() {
    TTestDir dir;
    QVERIFY(dir.MakeDir("usr") && dir.MakeFile("usr/f") && dir.MakeDir("Keep") &&
            dir.MakeDir("Keep/deeper") && dir.MakeFile("Keep/deeper/g") && dir.MakeFile("t"));
    TStringIntIndex system;
    FillOSFolderIndex(system);
    TScanOptions options = FlatAll();
    options.OSFolderIndex = &system;
    TCollectSink sink(kImageCount);
    Run(dir.Path(), options, sink);
    QCOMPARE(Sorted(sink.Paths(dir.Path())), TNames({"Keep/deeper/g", "t", "usr/f"}));

    TStringIntIndex custom;
    custom.AddNext(dir.Abs("Keep/").toLower().toStdString());
    options.OSFolderIndex = &custom;
    TCollectSink skipped(kImageCount);
    Run(dir.Path(), options, skipped);
    QCOMPARE(Sorted(skipped.Paths(dir.Path())), TNames({"t", "usr/f"}));

    options.OSFolderIndex = &system;
    TCollectSink usr(kImageCount);
    QCOMPARE(Run("/usr", options, usr), 0);
    QVERIFY(usr.Rows.empty());
  }

  void typeFilter_data() {
    QTest::addColumn<TTypeFilter>("filter");
    QTest::addColumn<TNames>("listed");
    const TNames all{"IMG.JPG", "Makefile", "a.jpg", "archive.tar.gz", "b.png", "c.doc"};
    QTest::newRow("all") << kAllFileTypes << all;
    QTest::newRow("images") << TTypeFilter{false, false, true, false, false, false}
                            << TNames{"a.jpg", "b.png"};
    QTest::newRow("application, with capital extensions")
        << TTypeFilter{true, false, false, false, false, false} << TNames{"IMG.JPG", "Makefile"};
    QTest::newRow("archives") << TTypeFilter{false, false, false, false, false, true}
                              << TNames{"archive.tar.gz"};
    QTest::newRow("none") << TTypeFilter{} << TNames{};
  }
  void typeFilter() {
    QFETCH(TTypeFilter, filter);
    QFETCH(TNames, listed);
    TTestDir dir;
    for (const char* name : {"IMG.JPG", "Makefile", "a.jpg", "archive.tar.gz", "b.png", "c.doc"})
      QVERIFY(dir.MakeFile(name, "1234"));
    TScanOptions options;
    options.TypeFilter = filter;
    TCollectSink sink(kImageCount);
    const std::int64_t total = Run(dir.Path(), options, sink);
    QCOMPARE(Sorted(sink.Paths(dir.Path())), listed);
    QCOMPARE(total, 4 * listed.size());
  }

  void fillsRecords() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("photo.jpg", "abc", 0444));
    QVERIFY(dir.SetTimes("photo.jpg", 1'000'000'000, 250'000'000));
    TCollectSink sink(kImageCount);
    Run(dir.Path(), TScanOptions(), sink, {}, &FIcons);
    QCOMPARE(sink.Rows.size(), size_t(1));
    const TFileNodeData& row = *sink.Rows[0];
    QCOMPARE(row.Path, dir.Abs("photo.jpg"));
    QCOMPARE(row.Name(), "photo.jpg");
    QCOMPARE(row.Ext(), ".jpg");
    QVERIFY(row.Hash().isEmpty());
    QCOMPARE(row.Size, 3);
    QCOMPARE(row.Modified, 1'000'000'000'250);
    QCOMPARE(row.Accessed, 1'000'000'000'250);
    QVERIFY(row.Created == kUnknownTime || row.Created > 1'600'000'000'000);
    QVERIFY(row.IsReadOnly && !row.IsHidden && !row.IsSystem && !row.IsProtected);
    QCOMPARE(row.ThumbState.load(), std::uint8_t(tsNone));
    QVERIFY(!row.NextInQueue && !row.Thumbnail.load());
    // The first new type gets the image list's next index, with its theme icon names.
    QCOMPARE(row.ImageIndex, kImageCount);
    QCOMPARE(sink.Icons.size(), size_t(1));
    QCOMPARE(sink.Icons[0].Index, kImageCount);
    QCOMPARE(sink.Icons[0].IconName, QStringLiteral("image-jpeg"));
    QCOMPARE(sink.Icons[0].GenericIconName, QStringLiteral("image-x-generic"));
  }

  // One icon per extension over the program's run, with the letter case as on disk.
  void asksForEachIconOnce() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("a.txt") && dir.MakeFile("b.txt") && dir.MakeFile("C.TXT") &&
            dir.MakeFile("noext"));
    TStringIntIndex icons;
    TCollectSink first(kImageCount);
    Run(
        dir.Path(), TScanOptions(), first, [](TFolderScan& scan) { scan.SetBatchRows(1); }, &icons);
    QCOMPARE(first.Icons.size(), size_t(3));
    QVERIFY(first.IconsLineUp);
    QCOMPARE(first.Row(dir.Abs("a.txt"))->ImageIndex, first.Row(dir.Abs("b.txt"))->ImageIndex);
    QVERIFY(first.Row(dir.Abs("a.txt"))->ImageIndex != first.Row(dir.Abs("C.TXT"))->ImageIndex);

    // The next scan finds the extensions in the index: no new icons, the same indexes.
    TCollectSink second(kImageCount + 3);
    TFolderScan scan(dir.Path(), TScanOptions(), icons, kImageCount + 3, FTypes, FCancelled,
                     second);
    scan.SetProtectedFiles(FNoPackages);
    scan.ScanFolderTree();
    QVERIFY(second.Icons.empty());
    QCOMPARE(second.Row(dir.Abs("C.TXT"))->ImageIndex, first.Row(dir.Abs("C.TXT"))->ImageIndex);
  }

  // Hand-over size changes nothing but the number of batches.
  void batchingKeepsTheListing() {
    TTestDir dir;
    for (const char* folder : {"p", "q", "p/r"}) QVERIFY(dir.MakeDir(folder));
    for (const char* file : {"1.a", "2.b", "p/3.c", "p/4.a", "q/5.d", "p/r/6.e", "p/r/7.a"})
      QVERIFY(dir.MakeFile(file, file));
    TCollectSink whole(kImageCount), single(kImageCount);
    Run(dir.Path(), FlatAll(), whole);
    Run(dir.Path(), FlatAll(), single, [](TFolderScan& scan) { scan.SetBatchRows(1); });
    QCOMPARE(single.Paths(dir.Path()), whole.Paths(dir.Path()));
    QCOMPARE(single.Batches, 7);
    QVERIFY(single.IconsLineUp && whole.IconsLineUp);
    // Breadth first: the two top files, then p's and q's, then p/r's.
    QCOMPARE(Sorted(whole.Paths(dir.Path()).mid(5)), TNames({"p/r/6.e", "p/r/7.a"}));
  }

  void cancelBeforeTheScan() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("a", "123"));
    FCancelled = true;
    TCollectSink sink(kImageCount);
    QCOMPARE(Run(dir.Path(), FlatAll(), sink), 0);
    QVERIFY(sink.Rows.empty());
  }

  void cancelKeepsWhatWasListed() {
    TTestDir dir;
    for (const char* folder : {"x", "y"}) QVERIFY(dir.MakeDir(folder));
    for (const char* file : {"a", "b", "x/c", "x/d", "y/e"}) QVERIFY(dir.MakeFile(file, "12345"));
    TCollectSink sink(kImageCount);
    sink.OnEachBatch = [this] { FCancelled = true; };
    const std::int64_t total =
        Run(dir.Path(), FlatAll(), sink, [](TFolderScan& scan) { scan.SetBatchRows(1); });
    QCOMPARE(sink.Rows.size(), size_t(1));
    QCOMPARE(total, sink.SizeOfRows());
  }

  void percent_data() {
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("used");
    QTest::addColumn<int>("percent");
    QTest::newRow("unknown used") << qint64(10) << qint64(0) << 0;
    QTest::newRow("negative used") << qint64(10) << qint64(-5) << 0;
    QTest::newRow("half to even, down") << qint64(5) << qint64(1000) << 0;
    QTest::newRow("half to even, up") << qint64(15) << qint64(1000) << 2;
    QTest::newRow("2.5 to 2") << qint64(25) << qint64(1000) << 2;
    QTest::newRow("past the used space") << qint64(3000) << qint64(1000) << 300;
  }
  void percent() {
    QFETCH(qint64, total);
    QFETCH(qint64, used);
    QTEST(ScanPercent(total, used), "percent");
  }

  // Posted once per folder, only when even and new.
  void postsEvenProgress_data() {
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<qint64>("used");
    QTest::addColumn<QList<int>>("posted");
    QTest::newRow("every folder even") << 4 << qint64(100) << QList<int>{0, 4, 8, 12, 16};
    QTest::newRow("odd ones left out") << 3 << qint64(100) << QList<int>{0, 6, 12};
    QTest::newRow("drive usage unknown") << 3 << qint64(0) << QList<int>{0};
  }
  void postsEvenProgress() {
    QFETCH(int, fileSize);
    QFETCH(qint64, used);
    TTestDir dir;
    for (QByteArray folder : {"s1", "s2", "s3", "s4", "s5"}) {
      QVERIFY(dir.MakeDir(folder));
      QVERIFY(dir.MakeFile(folder + "/f", QByteArray(fileSize, 'x')));
    }
    TCollectSink sink(kImageCount);
    Run(dir.Path(), FlatAll(), sink, [used](TFolderScan& scan) { scan.SetDriveUsed(used); });
    QTEST(sink.Percents, "posted");
    QVERIFY(sink.ProgressTotalsRight);
    QCOMPARE(sink.Rows.size(), size_t(5));
  }

  void unreadableFolderContributesNothing() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("t") && dir.MakeDir("open") && dir.MakeFile("open/f"));
    QVERIFY(dir.MakeDir("closed") && dir.MakeFile("closed/secret") && dir.MakeDir("closed/sub"));
    QVERIFY(dir.MakeFile("closed/sub/deeper"));
    QVERIFY(dir.SetMode("closed", 0000));
    TCollectSink sink(kImageCount);
    if (!RunWithoutPermissionOverride([&] { Run(dir.Path(), FlatAll(), sink); }))
      QSKIP("cannot give up the right to read any folder");
    QCOMPARE(Sorted(sink.Paths(dir.Path())), TNames({"open/f", "t"}));
  }

  void folderRemovedWhileQueued() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("a", "xx") && dir.MakeDir("x") && dir.MakeFile("x/fx") &&
            dir.MakeDir("y") && dir.MakeFile("y/fy"));
    TCollectSink sink(kImageCount);
    // 2% is posted once the top folder is done, before either subfolder is taken.
    sink.OnEachProgress = [&](int percent) {
      if (percent == 2) dir.Remove("y");
    };
    Run(dir.Path(), FlatAll(), sink, [](TFolderScan& scan) { scan.SetDriveUsed(100); });
    QCOMPARE(sink.Percents, QList<int>({0, 2}));
    QCOMPARE(Sorted(sink.Paths(dir.Path())), TNames({"a", "x/fx"}));
  }

  // Loops and links back up end the scan; links to folders are neither listed nor entered.
  void linksEndAndSpecialFilesDoNotBlock() {
    TTestDir dir;
    QVERIFY(dir.MakeDir("sub") && dir.MakeFile("sub/inner", "12345"));
    QVERIFY(dir.MakeSymlink("loop-b", "loop-a") && dir.MakeSymlink("loop-a", "loop-b"));
    QVERIFY(dir.MakeSymlink(".", "self") && dir.MakeSymlink("sub", "sub-link"));
    QVERIFY(dir.MakeSymlink("..", "sub/up") && dir.MakeSymlink("missing", "dangling"));
    QVERIFY(dir.MakeSymlink("sub/inner", "file-link"));
    QVERIFY(dir.MakeFifo("pipe") && dir.MakeSocket("sock"));
    TCollectSink sink(kImageCount);
    Run(dir.Path(), FlatAll(), sink);
    QCOMPARE(Sorted(sink.Paths(dir.Path())),
             TNames({"dangling", "file-link", "loop-a", "loop-b", "pipe", "sock", "sub/inner"}));
    QVERIFY(!sink.Row(dir.Abs("dangling"))->IsSystem);
    QVERIFY(!sink.Row(dir.Abs("loop-a"))->IsSystem);
    QVERIFY(sink.Row(dir.Abs("pipe"))->IsSystem);
    QCOMPARE(sink.Row(dir.Abs("file-link"))->Size, 5);
  }

  // Every listed name reaches its file again through the record's Path.
  void awkwardNamesReachTheirFiles() {
    TTestDir dir;
    const TNames names{"new\nline",     "quo\"te's",    "com,ma",
                       "-leading-dash", "\xff\xfe.txt", " spaced "};
    for (const QByteArray& name : names) QVERIFY(dir.MakeFile(name, name));
    TCollectSink sink(kImageCount);
    Run(dir.Path(), FlatAll(), sink);
    QCOMPARE(Sorted(sink.Paths(dir.Path())), Sorted(names));
    for (const auto& row : sink.Rows) QCOMPARE(ReadAll(row->Path), row->Name().toByteArray());
    QCOMPARE(sink.Row(dir.Abs("\xff\xfe.txt"))->Ext(), ".txt");
  }

  void sparseFileHasItsExactSize() {
    TTestDir dir;
    const std::int64_t size = std::int64_t(5) << 30;
    if (!dir.MakeSparseFile("big.bin", size)) QSKIP("no sparse files here");
    TCollectSink sink(kImageCount);
    QCOMPARE(Run(dir.Path(), FlatAll(), sink), size);
    QCOMPARE(sink.Rows.at(0)->Size, size);
  }

  void timesFarFromNow_data() {
    QTest::addColumn<qint64>("sec");
    QTest::addColumn<qint64>("nsec");
    QTest::addColumn<qint64>("ms");
    QTest::newRow("1938") << qint64(-1'000'000'000) << qint64(500'000'000)
                          << qint64(-999'999'999'500);
    QTest::newRow("just before 1970") << qint64(-1) << qint64(999'000'000) << qint64(-1);
    QTest::newRow("2100") << qint64(4'102'444'800) << qint64(0) << qint64(4'102'444'800'000);
  }
  void timesFarFromNow() {
    QFETCH(qint64, sec);
    QFETCH(qint64, nsec);
    TTestDir dir;
    QVERIFY(dir.MakeFile("t"));
    if (!dir.SetTimes("t", sec, nsec)) QSKIP("the file system refuses this time");
    TCollectSink sink(kImageCount);
    Run(dir.Path(), FlatAll(), sink);
    QFETCH(qint64, ms);
    QCOMPARE(qint64(sink.Rows.at(0)->Modified), ms);
    QCOMPARE(qint64(sink.Rows.at(0)->Accessed), ms);
  }

  // Folders nested past PATH_MAX: the scan ends, and what it lists it can open again.
  void pathsPastPathMaxAreSkipped() {
    TTestDir dir;
    const QByteArray name(250, 'd');
    const int levels = PATH_MAX / name.size() + 3;
    QCOMPARE(dir.MakeDeepChain("", name, levels), levels);
    TCollectSink sink(kImageCount);
    Run(dir.Path(), FlatAll(), sink);
    QVERIFY(sink.Rows.size() > 1);
    QVERIFY(sink.Rows.size() < size_t(levels));
    for (const auto& row : sink.Rows) {
      QVERIFY(row->Path.size() < PATH_MAX);
      QCOMPARE(ReadAll(row->Path), QByteArray());
    }
  }

  void protectedFiles_data() {
    QTest::addColumn<bool>("show");
    QTest::newRow("hidden") << false;
    QTest::newRow("shown") << true;
  }
  void protectedFiles() {
    QFETCH(bool, show);
    TTestDir dir, db;
    QVERIFY(dir.MakeFile("guarded") && dir.MakeFile("free"));
    QVERIFY(db.MakeFile("pkg.list", dir.Path() + "\n" + dir.Abs("guarded") + "\n"));
    const TProtectedFiles packages(db.Path().toStdString());
    TScanOptions options;
    options.ShowProtected = show;
    TCollectSink sink(kImageCount);
    Run(dir.Path(), options, sink, [&](TFolderScan& scan) { scan.SetProtectedFiles(packages); });
    QCOMPARE(sink.Row(dir.Abs("guarded")) != nullptr, show);
    if (show) QVERIFY(sink.Row(dir.Abs("guarded"))->IsProtected);
    QVERIFY(!sink.Row(dir.Abs("free"))->IsProtected);
  }
};

QTEST_GUILESS_MAIN(TFolderScanTest)
#include "tst_folderscan.moc"
