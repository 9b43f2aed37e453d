#include "platform/FileDigest.h"

#include "common/TestDir.h"

#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include <atomic>
#include <thread>

namespace {

// md5sum's digest of a file, upper-cased to compare with ours; empty when md5sum is missing.
QByteArray Md5sumOf(const QByteArray& path) {
  QProcess process;
  process.start(QStringLiteral("md5sum"), {QString::fromUtf8(path)});
  if (!process.waitForFinished(-1) || process.exitCode() != 0) return {};
  return process.readAllStandardOutput().left(32).toUpper();
}

QByteArray HexOf(const std::optional<TDigest>& digest) {
  return digest ? DigestHex(*digest) : QByteArray("none");
}

}  // namespace

class TFileDigestTest : public QObject {
  Q_OBJECT

 private slots:
  void matchesMd5sum_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short") << QByteArray("abc");
    // Crosses several read chunks and ends inside one.
    QByteArray big(3 * int(kDigestReadSize) + 12345, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    QTest::newRow("several chunks") << big;
  }
  void matchesMd5sum() {
    QFETCH(QByteArray, content);
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", content));
    const QByteArray expected = Md5sumOf(dir.Abs("f"));
    if (expected.isEmpty()) QSKIP("md5sum is not available");
    QCOMPARE(HexOf(GetFileMD5(dir.Abs("f"))), expected);
    // The read size changes nothing but speed.
    QCOMPARE(HexOf(GetFileMD5(dir.Abs("f"), nullptr, 8192)), expected);
  }

  void readsNamesThatAreNotUtf8() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("plain", "same bytes"));
    if (!dir.MakeFile("bad-\xff\xfe.txt", "same bytes")) QSKIP("the file system refuses the name");
    const auto digest = GetFileMD5(dir.Abs("bad-\xff\xfe.txt"));
    QVERIFY(digest);
    QCOMPARE(HexOf(digest), HexOf(GetFileMD5(dir.Abs("plain"))));
    QCOMPARE(HexOf(digest).size(), 32);
  }

  // Only regular files are read; nothing blocks and nothing unreadable yields a digest.
  void emptyWhenNotReadable_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("missing") << QByteArray("missing");
    QTest::newRow("folder") << QByteArray("sub");
    QTest::newRow("fifo") << QByteArray("pipe");
    QTest::newRow("link to fifo") << QByteArray("link-to-pipe");
    QTest::newRow("dangling link") << QByteArray("dangling");
    QTest::newRow("device node") << QByteArray("/dev/null");
  }
  void emptyWhenNotReadable() {
    QFETCH(QByteArray, path);
    TTestDir dir;
    QVERIFY(dir.MakeDir("sub"));
    QVERIFY(dir.MakeFifo("pipe"));
    QVERIFY(dir.MakeSymlink("pipe", "link-to-pipe"));
    QVERIFY(dir.MakeSymlink("nowhere", "dangling"));
    const QByteArray full = path.startsWith('/') ? path : dir.Abs(path);
    QVERIFY(!GetFileMD5(full));
  }

  void emptyWhenPermissionDenied() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("closed", "secret", 0000));
    std::optional<TDigest> digest = TDigest{};
    if (!RunWithoutPermissionOverride([&] { digest = GetFileMD5(dir.Abs("closed")); }))
      QSKIP("cannot give up the right to read any file");
    QVERIFY(!digest);
  }

  void followsLinksToFiles() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("target", "content"));
    QVERIFY(dir.MakeSymlink("target", "link"));
    QCOMPARE(HexOf(GetFileMD5(dir.Abs("link"))), HexOf(GetFileMD5(dir.Abs("target"))));
  }

  void cancelledDigestIsEmpty() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", QByteArray(1 << 20, 'x')));
    const std::atomic<bool> cancelled{true};
    QVERIFY(!GetFileMD5(dir.Abs("f"), &cancelled));
    const std::atomic<bool> running{false};
    QVERIFY(GetFileMD5(dir.Abs("f"), &running));
  }

  // A writer appends while the file is digested: the digest is of whatever was read.
  void growingFile() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("log", QByteArray(1 << 20, 'a')));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
      const int fd = ::open(dir.Abs("log").constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
      const QByteArray chunk(4096, 'b');
      for (int i = 0; fd >= 0 && i < 4096 && !stop; ++i)
        if (::write(fd, chunk.constData(), chunk.size()) < 0) break;
      if (fd >= 0) ::close(fd);
    });
    std::optional<TDigest> digest;
    for (int i = 0; i < 20; ++i) digest = GetFileMD5(dir.Abs("log"));
    stop = true;
    writer.join();
    QVERIFY(digest);
  }

  // Digesting must not change the access time the list shows.
  void keepsAccessTime() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("f", "some content"));
    // An access time long before the modification time: relatime would update it on a read.
    const timespec times[2] = {{1000000000, 0}, {1700000000, 0}};
    QVERIFY(::utimensat(AT_FDCWD, dir.Abs("f").constData(), times, 0) == 0);
    QVERIFY(GetFileMD5(dir.Abs("f")));
    struct stat st;
    QVERIFY(::stat(dir.Abs("f").constData(), &st) == 0);
    QCOMPARE(static_cast<qint64>(st.st_atim.tv_sec), qint64(1000000000));
  }

  void identities() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("a", "same"));
    QVERIFY(dir.MakeFile("b", "same"));
    QVERIFY(::link(dir.Abs("a").constData(), dir.Abs("hard").constData()) == 0);
    QVERIFY(dir.MakeSymlink("a", "soft"));
    QVERIFY(dir.MakeSymlink("missing", "dangling"));
    const auto a = FileIdentityOf(dir.Abs("a"));
    QVERIFY(a);
    QVERIFY(FileIdentityOf(dir.Abs("hard")) == a);
    QVERIFY(FileIdentityOf(dir.Abs("soft")) == a);
    QVERIFY(FileIdentityOf(dir.Abs("b")) != a);
    QVERIFY(!FileIdentityOf(dir.Abs("dangling")));
    QVERIFY(!FileIdentityOf(dir.Abs("missing")));
  }

  // Takes several seconds: the whole content is digested, whatever the size.
  void hugeSparseFile() {
    TTestDir dir;
    if (!dir.MakeSparseFile("sparse", 5ll << 30)) QSKIP("the file system refuses a sparse file");
    const QByteArray expected = Md5sumOf(dir.Abs("sparse"));
    if (expected.isEmpty()) QSKIP("md5sum is not available");
    QCOMPARE(HexOf(GetFileMD5(dir.Abs("sparse"))), expected);
  }
};

QTEST_GUILESS_MAIN(TFileDigestTest)
#include "tst_filedigest.moc"
