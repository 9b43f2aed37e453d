#include "platform/Trash.h"

#include "common/TestDir.h"

#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>

#include <cerrno>

namespace {

bool Exists(const QByteArray& path) {
  struct stat st;
  return ::lstat(path.constData(), &st) == 0;
}

mode_t ModeOf(const QByteArray& path) {
  struct stat st;
  return ::lstat(path.constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The Path= line of an info file, and whether the rest has the form the standard asks for.
QByteArray InfoPath(const QByteArray& infoFile) {
  const QByteArray info = ContentOf(infoFile);
  static const QRegularExpression form(
      QStringLiteral("^\\[Trash Info\\]\nPath=([^\n]*)\nDeletionDate="
                     "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$"));
  const QRegularExpressionMatch match = form.match(QString::fromLatin1(info));
  return match.hasMatch() ? match.captured(1).toLatin1() : "<malformed: " + info + ">";
}

// A trash whose file system boundaries are made up: `topDir` stands in for the mount point of
// every file, and renames into the trashes listed in `refusing` fail as across file systems.
class TFakeTrash : public TTrash {
 public:
  TFakeTrash(QByteArray dataHome, QByteArray topDir, QList<QByteArray> refusing)
      : TTrash(std::move(dataHome)), FTopDir(std::move(topDir)), FRefusing(std::move(refusing)) {}

 protected:
  QByteArray TopDirOf(const QByteArray&) const override { return FTopDir; }
  int RenameNoReplace(const QByteArray& from, const QByteArray& to) const override {
    for (const QByteArray& trash : FRefusing)
      if (to.startsWith(trash)) return EXDEV;
    return TTrash::RenameNoReplace(from, to);
  }

 private:
  QByteArray FTopDir;
  QList<QByteArray> FRefusing;
};

}  // namespace

class TTrashTest : public QObject {
  Q_OBJECT

 private slots:
  // The data home comes from XDG_DATA_HOME; here it does not exist yet, as in a fresh home
  // without ~/.local/share. The trash is made there and the file really lands in it.
  void homeTrashIsCreatedAndUsed() {
    TTestDir dir;
    const QByteArray dataHome = dir.Abs("home/.local/share");
    qputenv("XDG_DATA_HOME", dataHome);
    QVERIFY(dir.MakeFile("my doc%.txt", "content"));

    TTrash trash;
    QCOMPARE(trash.HomeTrash(), dataHome + "/Trash");
    QByteArray trashed;
    QCOMPARE(trash.MoveToTrash(dir.Abs("my doc%.txt"), &trashed), trMoved);
    qunsetenv("XDG_DATA_HOME");

    QCOMPARE(trashed, dataHome + "/Trash/files/my doc%.txt");
    QVERIFY(!Exists(dir.Abs("my doc%.txt")));
    QCOMPARE(ContentOf(trashed), QByteArray("content"));
    QCOMPARE(InfoPath(dataHome + "/Trash/info/my doc%.txt.trashinfo"), dir.Abs("my%20doc%25.txt"));
    for (const char* folder : {"", "/files", "/info"})
      QCOMPARE(ModeOf(dataHome + "/Trash" + folder), mode_t(0700));
    QCOMPARE(ModeOf(dataHome), mode_t(0700));
  }

  // Nothing trashed earlier is ever overwritten: a second file of one name gets a name of its
  // own, in files/ and in info/ alike.
  void clashingNamesStayApart() {
    TTestDir dir;
    QVERIFY(dir.MakeDir("a"));
    QVERIFY(dir.MakeDir("b"));
    QVERIFY(dir.MakeDir("c"));
    QVERIFY(dir.MakeFile("a/f", "first"));
    QVERIFY(dir.MakeFile("b/f", "second"));
    QVERIFY(dir.MakeFile("c/f", "third"));
    TTrash trash(dir.Abs("data"));
    QCOMPARE(trash.MoveToTrash(dir.Abs("a/f")), trMoved);
    // A trashed file whose info file is gone still holds its name.
    QVERIFY(dir.MakeFile("data/Trash/files/f.2", "orphan"));
    QCOMPARE(trash.MoveToTrash(dir.Abs("b/f")), trMoved);
    QCOMPARE(trash.MoveToTrash(dir.Abs("c/f")), trMoved);

    const QByteArray home = dir.Abs("data/Trash/");
    QCOMPARE(ContentOf(home + "files/f"), QByteArray("first"));
    QCOMPARE(ContentOf(home + "files/f.2"), QByteArray("orphan"));
    QCOMPARE(ContentOf(home + "files/f.3"), QByteArray("second"));
    QCOMPARE(ContentOf(home + "files/f.4"), QByteArray("third"));
    QCOMPARE(InfoPath(home + "info/f.trashinfo"), dir.Abs("a/f"));
    QVERIFY(!Exists(home + "info/f.2.trashinfo"));
    QCOMPARE(InfoPath(home + "info/f.3.trashinfo"), dir.Abs("b/f"));
    QCOMPARE(InfoPath(home + "info/f.4.trashinfo"), dir.Abs("c/f"));
  }

  void nameThatIsNotUtf8() {
    TTestDir dir;
    if (!dir.MakeFile("bad-\xff\xfe", "bytes")) QSKIP("the file system refuses the name");
    TTrash trash(dir.Abs("data"));
    QByteArray trashed;
    QCOMPARE(trash.MoveToTrash(dir.Abs("bad-\xff\xfe"), &trashed), trMoved);
    QCOMPARE(trashed, dir.Abs("data/Trash/files/bad-\xff\xfe"));
    QCOMPARE(ContentOf(trashed), QByteArray("bytes"));
    QCOMPARE(InfoPath(dir.Abs("data/Trash/info/bad-\xff\xfe.trashinfo")), dir.Abs("bad-%FF%FE"));
  }

  // A link goes to the trash as the link; its target stays.
  void linkIsTrashedNotItsTarget() {
    TTestDir dir;
    QVERIFY(dir.MakeFile("target", "kept"));
    QVERIFY(dir.MakeSymlink("target", "link"));
    TTrash trash(dir.Abs("data"));
    QCOMPARE(trash.MoveToTrash(dir.Abs("link")), trMoved);
    QVERIFY(!Exists(dir.Abs("link")));
    QCOMPARE(ContentOf(dir.Abs("target")), QByteArray("kept"));
    struct stat st;
    QVERIFY(::lstat(dir.Abs("data/Trash/files/link").constData(), &st) == 0 && S_ISLNK(st.st_mode));
  }

  void missingFile() {
    TTestDir dir;
    TTrash trash(dir.Abs("data"));
    QCOMPARE(trash.MoveToTrash(dir.Abs("nothing")), trNotFound);
    QVERIFY(!Exists(dir.Abs("data/Trash/info/nothing.trashinfo")));
  }

  // A file the home trash cannot take by a rename goes to its own file system's trash: the
  // shared ".Trash/<uid>" when ".Trash" is a real sticky folder, else ".Trash-<uid>". Its Path
  // is relative to the top folder there.
  void topDirTrash_data() {
    QTest::addColumn<QByteArray>("shared");  // what ".Trash" is: "", "sticky", "plain", "link"
    QTest::addColumn<QByteArray>("expected");
    const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::getuid()));
    QTest::newRow("no .Trash") << QByteArray() << ".Trash-" + uid;
    QTest::newRow("sticky .Trash") << QByteArray("sticky") << ".Trash/" + uid;
    QTest::newRow(".Trash not sticky") << QByteArray("plain") << ".Trash-" + uid;
    QTest::newRow(".Trash a link") << QByteArray("link") << ".Trash-" + uid;
  }
  void topDirTrash() {
    QFETCH(QByteArray, shared);
    QFETCH(QByteArray, expected);
    TTestDir dir;
    QVERIFY(dir.MakeDir("mnt"));
    QVERIFY(dir.MakeDir("mnt/sub"));
    QVERIFY(dir.MakeFile("mnt/sub/f", "data"));
    QVERIFY(dir.MakeDir("elsewhere", 01777));
    if (shared == "sticky") QVERIFY(dir.MakeDir("mnt/.Trash", 01777));
    if (shared == "plain") QVERIFY(dir.MakeDir("mnt/.Trash", 0777));
    if (shared == "link") QVERIFY(dir.MakeSymlink("../elsewhere", "mnt/.Trash"));

    TFakeTrash trash(dir.Abs("data"), dir.Abs("mnt"), {dir.Abs("data/Trash/")});
    QByteArray trashed;
    QCOMPARE(trash.MoveToTrash(dir.Abs("mnt/sub/f"), &trashed), trMoved);
    const QByteArray place = dir.Abs("mnt/") + expected;
    QCOMPARE(trashed, place + "/files/f");
    QCOMPARE(ContentOf(trashed), QByteArray("data"));
    QCOMPARE(InfoPath(place + "/info/f.trashinfo"), QByteArray("sub/f"));
    QCOMPARE(ModeOf(place), mode_t(0700));
    QVERIFY(!Exists(dir.Abs("data/Trash/info/f.trashinfo")));
    QVERIFY(
        !Exists(dir.Abs("elsewhere/") + QByteArray::number(static_cast<qulonglong>(::getuid()))));
  }

  // No trash can take the file by a rename: it stays where it is, no info file stays behind,
  // and the caller hears of the failure. Nothing is deleted for good.
  void noUsableTrashKeepsTheFile() {
    TTestDir dir;
    QVERIFY(dir.MakeDir("mnt"));
    QVERIFY(dir.MakeFile("mnt/f", "precious"));
    QVERIFY(dir.MakeDir("mnt/.Trash", 01777));
    const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::getuid()));
    TFakeTrash trash(dir.Abs("data"), dir.Abs("mnt"),
                     {dir.Abs("data/Trash/"), dir.Abs("mnt/.Trash/"), dir.Abs("mnt/.Trash-")});
    QCOMPARE(trash.MoveToTrash(dir.Abs("mnt/f")), trNoTrash);
    QCOMPARE(ContentOf(dir.Abs("mnt/f")), QByteArray("precious"));
    for (const QByteArray& info : {dir.Abs("data/Trash/info/f.trashinfo"),
                                   dir.Abs("mnt/.Trash/") + uid + "/info/f.trashinfo",
                                   dir.Abs("mnt/.Trash-") + uid + "/info/f.trashinfo"})
      QVERIFY2(!Exists(info), info.constData());
  }

  // The real mount point lookup: a folder on the root file system has "/" or a mount point
  // above it; /proc is a mount point of its own.
  void topDirOfRealFolders() {
    struct TProbe : TTrash {
      using TTrash::TopDirOf;
    } probe;
    QCOMPARE(probe.TopDirOf("/proc/self"), QByteArray("/proc"));
    QCOMPARE(probe.TopDirOf("/"), QByteArray("/"));
  }
};

QTEST_GUILESS_MAIN(TTrashTest)
#include "tst_trash.moc"
