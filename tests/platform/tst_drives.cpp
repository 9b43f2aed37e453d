#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/Drives.h"
#include "platform/IconTheme.h"

using TPaths = QList<QByteArray>;

class TDrivesTest : public QObject {
  Q_OBJECT

 private slots:
  void mountPoints_data();
  void mountPoints();
  void availableDrivesStartWithRootAndEndWithHome();
  void firstInstalledIconTheme();
};

static QByteArray Line(const char* mountPoint, const char* type, const char* root = "/") {
  return QByteArray("36 25 8:1 ") + root + ' ' + mountPoint + " rw,relatime shared:1 - " + type +
         " /dev/sda1 rw\n";
}

void TDrivesTest::mountPoints_data() {
  QTest::addColumn<QByteArray>("table");
  QTest::addColumn<TPaths>("expected");

  QTest::newRow("root moves first, others keep table order")
      << Line("/home", "ext4") + Line("/", "ext4") + Line("/mnt/data", "xfs")
      << TPaths{"/", "/home", "/mnt/data"};
  QTest::newRow("pseudo and memory file systems are left out")
      << Line("/", "ext4") + Line("/proc", "proc") + Line("/sys", "sysfs") +
             Line("/sys/fs/cgroup", "cgroup2") + Line("/dev/pts", "devpts") +
             Line("/tmp", "tmpfs") + Line("/snap/core/1", "squashfs") +
             Line("/run/user/1000/gvfs", "fuse.gvfsd-fuse") + Line("/auto", "autofs")
      << TPaths{"/"};
  QTest::newRow("container root on overlay stays")
      << Line("/", "overlay") + Line("/work", "ext4", "/srv/work") << TPaths{"/", "/work"};
  QTest::newRow("kernel and runtime trees are left out, removable media stays")
      << Line("/", "btrfs") + Line("/dev/sdb", "ext4") + Line("/run/lock", "ext4") +
             Line("/run/media/ann/USB", "vfat")
      << TPaths{"/", "/run/media/ann/USB"};
  QTest::newRow("octal escapes in mount points are decoded")
      << Line("/", "ext4") + Line("/mnt/my\\040disk", "ntfs3") + Line("/mnt/back\\134slash", "ext4")
      << TPaths{"/", "/mnt/my disk", "/mnt/back\\slash"};
  QTest::newRow("a mount point mounted twice is listed once")
      << Line("/", "ext4") + Line("/mnt", "ext4") + Line("/mnt", "nfs4") << TPaths{"/", "/mnt"};
  QTest::newRow("no optional fields, malformed and empty lines")
      << QByteArray(
             "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
             "garbage\n\n"
             "28 27 0:25 / /mnt/x rw - \n"
             "29 27 0:26 / /data rw,relatime master:3 shared:7 - ext4 /dev/vdb rw")
      << TPaths{"/", "/data"};
  QTest::newRow("without a root entry nothing is invented")
      << Line("/data", "ext4") << TPaths{"/data"};
  QTest::newRow("empty table") << QByteArray() << TPaths{};
}

void TDrivesTest::mountPoints() {
  QFETCH(QByteArray, table);
  QFETCH(TPaths, expected);
  const std::vector<QByteArray> actual = MountPointsFromMountInfo(table);
  QCOMPARE(TPaths(actual.begin(), actual.end()), expected);
}

void TDrivesTest::availableDrivesStartWithRootAndEndWithHome() {
  const std::vector<QByteArray> drives = AvailableDrives();
  QVERIFY(!drives.empty());
  QCOMPARE(drives.front(), QByteArray("/"));
  const QByteArray home = QFile::encodeName(QDir::homePath());
  QCOMPARE(std::count(drives.begin(), drives.end(), home), 1);
  for (const QByteArray& drive : drives) {
    QVERIFY2(QFileInfo(QFile::decodeName(drive)).isDir(), drive.constData());
    QVERIFY2(!drive.startsWith("/proc") && !drive.startsWith("/sys"), drive.constData());
  }
}

void TDrivesTest::firstInstalledIconTheme() {
  QTemporaryDir first;
  QTemporaryDir second;
  QVERIFY(first.isValid() && second.isValid());
  QVERIFY(QDir(second.path()).mkpath(QStringLiteral("breeze")));
  QFile index(second.path() + QStringLiteral("/breeze/index.theme"));
  QVERIFY(index.open(QIODevice::WriteOnly));
  index.close();
  QVERIFY(QDir(first.path()).mkpath(QStringLiteral("Adwaita")));  // a folder without index.theme

  const QStringList paths{first.path(), second.path()};
  QCOMPARE(FirstInstalledIconTheme(kPreferredIconThemes, paths), QStringLiteral("breeze"));
  QCOMPARE(FirstInstalledIconTheme({QStringLiteral("Missing")}, paths), QString());
  QCOMPARE(FirstInstalledIconTheme(kPreferredIconThemes, {}), QString());
}

QTEST_GUILESS_MAIN(TDrivesTest)
#include "tst_drives.moc"
