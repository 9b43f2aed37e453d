#include "explorer/FileTypeIndex.h"

#include <QtTest>

class TFileTypesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { FillFileTypeIndex(FIndex); }

  void holdsEachExtensionOnce() {
    // Every Add counts, and a repeated extension would have thrown: after the fill the next
    // ordinal is the number of distinct extensions.
    TFileTypeIndex index;
    FillFileTypeIndex(index);
    QCOMPARE(index.AddNext(".probe"), 111);
  }

  void classifies_data() {
    QTest::addColumn<QByteArray>("ext");
    QTest::addColumn<int>("category");
    QTest::newRow("document") << QByteArray(".txt") << 1;
    QTest::newRow("last office entry") << QByteArray(".url") << 1;
    QTest::newRow("log is application") << QByteArray(".log") << 0;
    QTest::newRow("dat is application") << QByteArray(".dat") << 0;
    QTest::newRow("image") << QByteArray(".jpg") << 2;
    QTest::newRow("upper-case image is application") << QByteArray(".JPG") << 0;
    QTest::newRow("upper-case text is application") << QByteArray(".TXT") << 0;
    QTest::newRow("video") << QByteArray(".3gp") << 3;
    QTest::newRow("audio") << QByteArray(".wma") << 4;
    QTest::newRow("archive, last of .tar.gz") << QByteArray(".gz") << 5;
    QTest::newRow("mail store") << QByteArray(".emlx") << 5;
    QTest::newRow("no extension") << QByteArray() << 0;
    QTest::newRow("unknown") << QByteArray(".xyz") << 0;
    QTest::newRow("without the dot") << QByteArray("jpg") << 0;
  }
  void classifies() {
    QFETCH(QByteArray, ext);
    QTEST(FileTypeOf(FIndex, std::string_view(ext.constData(), ext.size())), "category");
  }

 private:
  TFileTypeIndex FIndex;
};

QTEST_GUILESS_MAIN(TFileTypesTest)
#include "tst_filetypes.moc"
