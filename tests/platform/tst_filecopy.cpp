#include "platform/FileCopy.h"

#include "common/TestDir.h"

#include <QtTest>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// The names in a folder, so a test sees any temporary file left behind.
QList<QByteArray> NamesIn(const QByteArray& folder) {
  QList<QByteArray> names;
  if (DIR* dir = ::opendir(folder.constData())) {
    while (const dirent* entry = ::readdir(dir))
      if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
        names.append(entry->d_name);
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

class TFileCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void copiesContentModeAndTimes_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("folder");  // with or without its trailing "/"
    QTest::newRow("plain") << QByteArray("photo.jpg") << QByteArray("dest/");
    QTest::newRow("no trailing slash") << QByteArray("photo.jpg") << QByteArray("dest");
    QTest::newRow("not UTF-8") << QByteArray("bad-\xff\xfe.bin") << QByteArray("dest-\xe9/");
  }
  void copiesContentModeAndTimes() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, folder);
    TTestDir dir;
    const QByteArray content(300000, 'q');
    if (!dir.MakeFile(name, content, 0640) || !dir.MakeDir(folder.chopped(folder.endsWith('/'))))
      QSKIP("the file system refuses the names");
    const timespec times[2] = {{1500000000, 123456789}, {1600000000, 987654321}};
    QVERIFY(::utimensat(AT_FDCWD, dir.Abs(name).constData(), times, 0) == 0);

    QCOMPARE(CopyFileInto(dir.Abs(name), dir.Abs(folder)), cprCopied);
    const QByteArray target = dir.Abs(folder.chopped(folder.endsWith('/'))) + '/' + name;
    struct stat st;  // before reading the copy, which may update its access time
    QVERIFY(::stat(target.constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, 0640u);
    QCOMPARE(st.st_atim.tv_sec, times[0].tv_sec);
    QCOMPARE(st.st_mtim.tv_sec, times[1].tv_sec);
    QCOMPARE(st.st_mtim.tv_nsec, times[1].tv_nsec);
    QCOMPARE(ContentOf(target), content);
    QCOMPARE(NamesIn(dir.Abs(folder)), QList<QByteArray>{name});
    QCOMPARE(ContentOf(dir.Abs(name)), content);  // the source is untouched
  }

  // A file of the same name is replaced by a new file renamed over it: a reader holding the
  // old one open still reads it whole, and the name never shows a half-written file.
  void replacesTargetWhole() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", "new content"));
    QVERIFY(dir.MakeDir("dest"));
    QVERIFY(dir.MakeFile("dest/f", "old content that is longer", 0600));
    const int oldFd = ::open(dir.Abs("dest/f").constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(oldFd >= 0);
    QCOMPARE(CopyFileInto(dir.Abs("f"), dir.Abs("dest")), cprCopied);
    QCOMPARE(ContentOf(dir.Abs("dest/f")), QByteArray("new content"));
    char buffer[64] = {};
    QCOMPARE(::pread(oldFd, buffer, sizeof(buffer), 0), ssize_t(26));
    ::close(oldFd);
    QCOMPARE(NamesIn(dir.Abs("dest")), QList<QByteArray>{"f"});
  }

  // The target is the source itself: copying would truncate the only copy.
  void refusesTheSameFile_data() {
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("setup");
    QTest::newRow("its own folder") << QByteArray("") << QByteArray();
    QTest::newRow("hard link") << QByteArray("dest") << QByteArray("hard");
    QTest::newRow("link to it") << QByteArray("dest") << QByteArray("soft");
    QTest::newRow("folder through a link") << QByteArray("alias") << QByteArray();
  }
  void refusesTheSameFile() {
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, setup);
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", "precious"));
    QVERIFY(dir.MakeDir("dest"));
    QVERIFY(dir.MakeSymlink(".", "alias"));
    if (setup == "hard")
      QVERIFY(::link(dir.Abs("f").constData(), dir.Abs("dest/f").constData()) == 0);
    if (setup == "soft") QVERIFY(dir.MakeSymlink("../f", "dest/f"));
    QCOMPARE(CopyFileInto(dir.Abs("f"), dir.Abs(folder)), cprSameFile);
    QCOMPARE(ContentOf(dir.Abs("f")), QByteArray("precious"));
    QCOMPARE(NamesIn(dir.Abs("dest")),
             setup.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{"f"});
  }

  void failures_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << QByteArray("missing") << int(cprSourceUnreadable);
    QTest::newRow("fifo") << QByteArray("pipe") << int(cprNotRegularFile);
    QTest::newRow("folder") << QByteArray("sub") << int(cprNotRegularFile);
    QTest::newRow("device") << QByteArray("/dev/null") << int(cprNotRegularFile);
    // A folder of the target's name cannot be replaced by a file.
    QTest::newRow("folder in the way") << QByteArray("taken") << int(cprTargetFailed);
  }
  void failures() {
    QFETCH(QByteArray, source);
    QFETCH(int, expected);
    TTestDir dir;
    QVERIFY(dir.MakeFifo("pipe"));
    QVERIFY(dir.MakeDir("sub"));
    QVERIFY(dir.MakeFile("taken", "x"));
    QVERIFY(dir.MakeDir("dest"));
    QVERIFY(dir.MakeDir("dest/taken"));
    const QByteArray full = source.startsWith('/') ? source : dir.Abs(source);
    QCOMPARE(int(CopyFileInto(full, dir.Abs("dest"))), expected);
    QCOMPARE(NamesIn(dir.Abs("dest")), QList<QByteArray>{"taken"});
  }

  void destinationWithoutWritePermission() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", "content"));
    QVERIFY(dir.MakeDir("closed", 0555));
    TCopyResult result = cprCopied;
    if (!RunWithoutPermissionOverride(
            [&] { result = CopyFileInto(dir.Abs("f"), dir.Abs("closed")); }))
      QSKIP("cannot give up the right to write anywhere");
    QCOMPARE(result, cprTargetFailed);
    QVERIFY(NamesIn(dir.Abs("closed")).isEmpty());
  }
};

QTEST_GUILESS_MAIN(TFileCopyTest)
#include "tst_filecopy.moc"
