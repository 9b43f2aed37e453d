#include "platform/FileSystem.h"
#include "platform/ProtectedFiles.h"

#include "common/TestDir.h"

#include <QtTest>

#include <limits.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TListed {
  TDirEntry Entry;
  std::string Name;  // Entry.Name is only valid until the next call
};

std::map<std::string, TListed> ListAll(const QByteArray& folder, bool wantFolders,
                                       bool* opened = nullptr) {
  std::map<std::string, TListed> listed;
  TDirListing listing;
  const bool ok = listing.Open(std::string_view(folder.constData(), folder.size()));
  if (opened) *opened = ok;
  if (!ok) return listed;
  TDirEntry entry;
  while (listing.Next(entry, wantFolders)) {
    std::string name(entry.Name);
    listed[name] = {entry, name};
  }
  return listed;
}

}  // namespace

class TFileSystemTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(FDir.IsValid());
    QVERIFY(FDir.MakeFile("plain.txt", "12345"));
    QVERIFY(FDir.MakeFile("locked.txt", "x", 0444));
    QVERIFY(FDir.MakeFile(".hidden", "hh"));
    QVERIFY(FDir.MakeDir("sub"));
    QVERIFY(FDir.MakeFile("sub/inner", "inner"));
    QVERIFY(FDir.MakeFifo("pipe"));
    QVERIFY(FDir.MakeSocket("sock"));
    QVERIFY(FDir.MakeSymlink("plain.txt", "link-to-file"));
    QVERIFY(FDir.MakeSymlink("missing", "dangling"));
    QVERIFY(FDir.MakeSymlink("loop-b", "loop-a"));
    QVERIFY(FDir.MakeSymlink("loop-a", "loop-b"));
    QVERIFY(FDir.MakeSymlink("sub", "link-to-folder"));
    QVERIFY(FDir.MakeSymlink(".", "link-to-self"));
    QVERIFY(FDir.MakeSymlink("pipe", "link-to-pipe"));
  }

  // How every kind of entry is seen: listed or not, as what, with which attributes.
  void classifiesEntries_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("system");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<qint64>("size");
    // name, listed, folder, system, hidden, read-only, size (-1: not checked)
    QTest::newRow("regular") << QByteArray("plain.txt") << true << false << false << false << false
                             << qint64(5);
    QTest::newRow("read-only") << QByteArray("locked.txt") << true << false << false << false
                               << true << qint64(1);
    QTest::newRow("hidden") << QByteArray(".hidden") << true << false << false << true << false
                            << qint64(2);
    QTest::newRow("folder") << QByteArray("sub") << true << true << false << false << false
                            << qint64(-1);
    QTest::newRow("fifo") << QByteArray("pipe") << true << false << true << false << false
                          << qint64(0);
    QTest::newRow("socket") << QByteArray("sock") << true << false << true << false << false
                            << qint64(0);
    QTest::newRow("link to file: the target's figures")
        << QByteArray("link-to-file") << true << false << false << false << false << qint64(5);
    QTest::newRow("link to a fifo is a fifo")
        << QByteArray("link-to-pipe") << true << false << true << false << false << qint64(0);
    QTest::newRow("dangling link: its own figures")
        << QByteArray("dangling") << true << false << false << false << false
        << qint64(sizeof("missing") - 1);
    QTest::newRow("link loop") << QByteArray("loop-a") << true << false << false << false << false
                               << qint64(sizeof("loop-b") - 1);
    QTest::newRow("link to folder")
        << QByteArray("link-to-folder") << false << false << false << false << false << qint64(-1);
    QTest::newRow("link to its own folder")
        << QByteArray("link-to-self") << false << false << false << false << false << qint64(-1);
  }
  void classifiesEntries() {
    QFETCH(QByteArray, name);
    QFETCH(bool, listed);
    const auto all = ListAll(FDir.Path(), true);
    QVERIFY(!all.count(".") && !all.count(".."));
    const auto found = all.find(name.toStdString());
    QCOMPARE(found != all.end(), listed);
    if (!listed) return;
    const TDirEntry& entry = found->second.Entry;
    QTEST(entry.Kind == ekFolder, "folder");
    QTEST(entry.IsSystem, "system");
    QTEST(entry.IsHidden, "hidden");
    if (entry.Kind == ekFile) QTEST(entry.IsReadOnly, "readOnly");
    QFETCH(qint64, size);
    if (size >= 0) QCOMPARE(entry.Size, size);
  }

  void skipsFoldersWhenNotWanted() {
    const auto all = ListAll(FDir.Path(), false);
    QVERIFY(all.count("plain.txt"));
    QVERIFY(!all.count("sub"));
  }

  void reportsSparseSizeExactly() {
    TTestDir dir;
    const std::int64_t size = std::int64_t(5) << 30;
    if (!dir.MakeSparseFile("big", size)) QSKIP("no sparse files here");
    const auto all = ListAll(dir.Path(), false);
    QCOMPARE(all.at("big").Entry.Size, size);
  }

  void keepsTimesFarFromNow_data() {
    QTest::addColumn<qint64>("sec");
    QTest::addColumn<qint64>("nsec");
    QTest::newRow("1938") << qint64(-1'000'000'000) << qint64(500'000'000);
    QTest::newRow("1970") << qint64(0) << qint64(0);
    QTest::newRow("2100") << qint64(4'102'444'800) << qint64(1);
  }
  void keepsTimesFarFromNow() {
    QFETCH(qint64, sec);
    QFETCH(qint64, nsec);
    TTestDir dir;
    QVERIFY(dir.MakeFile("t"));
    if (!dir.SetTimes("t", sec, nsec)) QSKIP("the file system refuses this time");
    const TDirEntry entry = ListAll(dir.Path(), false).at("t").Entry;
    QCOMPARE(entry.Modified.Sec, sec);
    QCOMPARE(entry.Modified.Nsec, nsec);
    QCOMPARE(entry.Accessed.Sec, sec);
  }

  void reportsBirthTimeOnlyWhenKnown() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("b"));
    const TDirEntry entry = ListAll(dir.Path(), false).at("b").Entry;
    if (!entry.HasCreated) QSKIP("this file system keeps no birth time");
    QVERIFY(entry.Created.Sec > 1'600'000'000);
  }

  void keepsNameBytes() {
    TTestDir dir;
    const QByteArray name("\xff\xfe-\n\"',.txt");
    QVERIFY(dir.MakeFile(name, "raw"));
    const auto all = ListAll(dir.Path(), false);
    QVERIFY(all.count(name.toStdString()));
  }

  // Entries whose names were read but that are gone by the time of their statx are left out.
  void skipsEntriesThatVanish() {
    TTestDir dir;
    for (const char* name : {"a", "b", "c", "d"}) QVERIFY(dir.MakeFile(name));
    TDirListing listing;
    QVERIFY(listing.Open(dir.Path().constData()));
    TDirEntry entry;
    QVERIFY(listing.Next(entry, true));  // reads the whole small folder in one go
    const std::string first(entry.Name);
    for (const char* name : {"a", "b", "c", "d"}) {
      if (first != name) dir.Remove(name);
    }
    QVERIFY(!listing.Next(entry, true));
  }

  void skipsPathsReachingPathMax() {
    TTestDir dir;
    const QByteArray name(200, 'n');
    const int levels = PATH_MAX / name.size() + 2;
    QCOMPARE(dir.MakeDeepChain("", name, levels), levels);
    QByteArray folder = dir.Path();
    int opened = 0;
    for (;;) {
      bool ok = false;
      const auto all = ListAll(folder, true, &ok);
      if (!ok) break;
      ++opened;
      for (const auto& [listedName, listed] : all)
        QVERIFY(folder.size() + qsizetype(listedName.size()) < PATH_MAX);
      if (!all.count(name.toStdString())) break;
      folder += name + '/';
    }
    QVERIFY(opened > 1);
    QVERIFY(opened < levels);
    QVERIFY(folder.size() + name.size() + 1 >= PATH_MAX);
  }

  void failsOnMissingAndUnreadableFolders() {
    TTestDir dir;
    bool opened = true;
    ListAll(dir.Abs("missing/"), true, &opened);
    QVERIFY(!opened);

    QVERIFY(dir.MakeDir("closed", 0000));
    QVERIFY(dir.MakeFile("open-file"));
    const bool ran =
        RunWithoutPermissionOverride([&] { ListAll(dir.Abs("closed/"), true, &opened); });
    if (!ran) QSKIP("cannot give up the right to read any folder");
    QVERIFY(!opened);
  }

  // The folder named first may be a link (the user chose it); later ones never are followed.
  void followsOnlyTheFirstFolderLink() {
    TTestDir dir;
    QVERIFY(dir.MakeDir("real"));
    QVERIFY(dir.MakeFile("real/f"));
    QVERIFY(dir.MakeSymlink("real", "alias"));
    TDirListing listing;
    QVERIFY(listing.Open(dir.Abs("alias/").constData()));
    QVERIFY(!listing.Open(dir.Abs("alias/").constData()));
    QVERIFY(listing.Open(dir.Abs("real/").constData()));
  }

  void decidesWhereAnotherFileSystemBegins_data() {
    QTest::addColumn<quint64>("device");
    QTest::addColumn<quint64>("attributes");
    QTest::addColumn<quint64>("mask");
    QTest::addColumn<bool>("crosses");
    const quint64 root = makedev(8, 1);
    QTest::newRow("same device") << root << quint64(0) << quint64(STATX_ATTR_MOUNT_ROOT) << false;
    QTest::newRow("other device") << quint64(makedev(8, 2)) << quint64(0)
                                  << quint64(STATX_ATTR_MOUNT_ROOT) << true;
    QTest::newRow("bind mount of the same device")
        << root << quint64(STATX_ATTR_MOUNT_ROOT) << quint64(STATX_ATTR_MOUNT_ROOT) << true;
    QTest::newRow("mount bit not supported")
        << root << quint64(STATX_ATTR_MOUNT_ROOT) << quint64(0) << false;
  }
  void decidesWhereAnotherFileSystemBegins() {
    QFETCH(quint64, device);
    QFETCH(quint64, attributes);
    QFETCH(quint64, mask);
    QTEST(CrossesFileSystem(makedev(8, 1), device, attributes, mask), "crosses");
  }

  // /proc is a mount point below "/": its entry is never offered as a folder to enter.
  void doesNotOfferMountPoints() {
    const auto all = ListAll("/", true);
    QVERIFY(all.count("usr"));
    QVERIFY(!all.count("proc"));
  }

  void readsDriveSpace() {
    const auto space = DriveSpaceOf(FDir.Path().constData());
    QVERIFY(space.has_value());
    QVERIFY(space->Total > 0);
    QVERIFY(space->FreeForUser >= 0 && space->FreeForUser <= space->Total);
    QVERIFY(!DriveSpaceOf("/no/such/folder").has_value());
  }

  void readsPackageDatabase() {
    TTestDir db;
    QVERIFY(db.MakeFile("one.list", "/.\n/usr\n/usr/bin\n/usr/bin/tool\n/usr/share/doc/one"));
    QVERIFY(db.MakeFile("two.list", "/etc/two.conf\n"));
    QVERIFY(db.MakeFile("two.md5sums", "0123 /usr/bin/other\n"));
    const TProtectedFiles files(db.Path().toStdString());
    // Several threads may ask first at once; the database is read exactly once.
    std::vector<std::thread> askers;
    for (int i = 0; i < 4; ++i) askers.emplace_back([&] { files.IsProtected("/usr/bin/tool"); });
    for (std::thread& asker : askers) asker.join();

    QVERIFY(files.IsProtected("/usr/bin/tool"));
    QVERIFY(files.IsProtected("/usr/share/doc/one"));  // last line without a newline
    QVERIFY(files.IsProtected("/etc/two.conf"));
    QVERIFY(!files.IsProtected("/usr/bin/other"));  // only *.list files count
    QVERIFY(!files.IsProtected("/usr/bin/tool2"));
    QVERIFY(!files.IsProtected("/"));
    QVERIFY(files.FolderMayHold("/usr/bin/"));
    QVERIFY(files.FolderMayHold("/etc/"));
    QVERIFY(!files.FolderMayHold("/home/"));

    const TProtectedFiles none("/no/such/database");
    QVERIFY(!none.IsProtected("/usr/bin/tool"));
    QVERIFY(!none.FolderMayHold("/usr/bin/"));
  }

 private:
  TTestDir FDir;
};

QTEST_GUILESS_MAIN(TFileSystemTest)
#include "tst_filesystem.moc"
