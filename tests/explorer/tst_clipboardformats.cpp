#include "explorer/ClipboardFormats.h"

#include <QMimeData>
#include <QTextDocument>
#include <QtTest>

namespace {

TClipboardTable TableOf(const QStringList& row) {
  TClipboardTable table;
  for (qsizetype i = 0; i < row.size(); ++i) table.Captions << QStringLiteral("C%1").arg(i);
  table.Rows << row;
  return table;
}

// The text an RTF reader shows for a document made of our escapes: \uN? as the UTF-16 unit N,
// \\ \{ \} as the character, \tab and \line as tab and line break; cells separated by "|".
QString RtfCellsOfRow(const QByteArray& rtf, int row) {
  const QList<QByteArray> rows = rtf.split('\n');
  QList<QByteArray> cells;
  for (const QByteArray& line : rows)
    if (line.startsWith("\\pard\\intbl")) cells << line;
  QString text;
  const int columns = cells.size() / 2;  // header row and one data row in these tests
  for (int c = 0; c < columns; ++c) {
    QByteArray cell = cells[row * columns + c];
    cell = cell.mid(cell.indexOf(' ') + 1);
    cell.chop(QByteArray("\\cell\r").size());
    if (cell.endsWith("\\b0")) cell.chop(3);
    if (c > 0) text += u'|';
    for (qsizetype i = 0; i < cell.size(); ++i) {
      if (cell[i] != '\\') {
        text += QChar(cell[i]);
      } else if (cell.mid(i + 1, 1) == "u") {
        const qsizetype end = cell.indexOf('?', i);
        text += QChar(static_cast<char16_t>(cell.mid(i + 2, end - i - 2).toShort()));
        i = end;
      } else if (cell.mid(i, 5) == "\\tab ") {
        text += u'\t';
        i += 4;
      } else if (cell.mid(i, 6) == "\\line ") {
        text += u'\n';
        i += 5;
      } else {
        text += QChar(cell[++i]);
      }
    }
  }
  return text;
}

}  // namespace

class TClipboardFormatsTest : public QObject {
  Q_OBJECT

 private slots:
  void csvFields_data() {
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"a.txt", "12"} << QChar(u',') << QByteArray("a.txt,12");
    QTest::newRow("separator quoted")
        << QStringList{"a,b.txt", "1"} << QChar(u',') << QByteArray("\"a,b.txt\",1");
    QTest::newRow("other separator plain")
        << QStringList{"a,b.txt", "1"} << QChar(u';') << QByteArray("a,b.txt;1");
    QTest::newRow("semicolon quoted")
        << QStringList{"a;b", ""} << QChar(u';') << QByteArray("\"a;b\";");
    QTest::newRow("quotes doubled")
        << QStringList{"say \"hi\"", "x"} << QChar(u',') << QByteArray("\"say \"\"hi\"\"\",x");
    // A line break inside a name must not split the row.
    QTest::newRow("line break quoted")
        << QStringList{"two\nlines", "x"} << QChar(u',') << QByteArray("\"two\nlines\",x");
    QTest::newRow("non-ASCII as UTF-8")
        << QStringList{QStringLiteral("café ✓.txt"), "x"} << QChar(u',')
        << QByteArray("caf\xc3\xa9 \xe2\x9c\x93.txt,x");
  }
  void csvFields() {
    QFETCH(QStringList, row);
    QFETCH(QChar, separator);
    QFETCH(QByteArray, line);
    TClipboardTable table = TableOf(row);
    QCOMPARE(MakeCsv(table, separator),
             "C0" + QByteArray(1, char(separator.unicode())) + "C1\r\n" + line + "\r\n");
  }

  void separatorFollowsTheLocale() {
    QCOMPARE(CsvSeparatorFor(QLocale(QLocale::German, QLocale::Germany)), QChar(u';'));
    QCOMPARE(CsvSeparatorFor(QLocale(QLocale::English, QLocale::UnitedStates)), QChar(u','));
    QCOMPARE(CsvSeparatorFor(QLocale::c()), QChar(u','));
  }

  // Markup characters and non-ASCII text come out as exactly the text, in HTML and RTF alike.
  void htmlAndRtfShowTheText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("markup") << QStringLiteral("<b>&{\\par}");
    QTest::newRow("quotes") << QStringLiteral("it's \"x\"");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße – 日本 😀");
    QTest::newRow("spaces and tab") << QStringLiteral("a  b\tc");
  }
  void htmlAndRtfShowTheText() {
    QFETCH(QString, text);
    const TClipboardTable table = TableOf({text, QStringLiteral("tail")});

    QTextDocument document;
    document.setHtml(QString::fromUtf8(MakeHtml(table)));
    QVERIFY2(document.toPlainText().contains(text), qPrintable(document.toPlainText()));
    QVERIFY(!MakeHtml(table).contains("<b>&"));

    const QByteArray rtf = MakeRtf(table);
    for (const char c : rtf) QVERIFY(static_cast<unsigned char>(c) < 0x80);
    QCOMPARE(RtfCellsOfRow(rtf, 1), text + u'|' + QStringLiteral("tail"));
    QCOMPARE(RtfCellsOfRow(rtf, 0), QStringLiteral("C0|C1"));
    QCOMPARE(rtf.count('{') - rtf.count("\\{"), rtf.count('}') - rtf.count("\\}"));
  }

  void mimeDataOffersEveryFormat() {
    TClipboardTable table;
    table.Captions = {QStringLiteral("Name"), QStringLiteral("Size")};
    table.Rows = {{QStringLiteral("a,b"), QStringLiteral("1")},
                  {QStringLiteral("é"), QStringLiteral("2")}};
    const auto data = MakeClipboardData(table, QLocale(QLocale::French, QLocale::France));
    QVERIFY(data);
    const QByteArray csv = "Name;Size\r\na,b;1\r\n\xc3\xa9;2\r\n";
    QCOMPARE(data->data(QStringLiteral("text/csv")), csv);
    QCOMPARE(data->text(), QString::fromUtf8(csv));
    QCOMPARE(data->data(QStringLiteral("text/rtf")), MakeRtf(table));
    QCOMPARE(data->data(QStringLiteral("application/rtf")), MakeRtf(table));
    QVERIFY(data->html().contains(QStringLiteral("<td>é</td>")));
  }

  void nothingForNoRows() {
    TClipboardTable table;
    table.Captions = {QStringLiteral("Name")};
    QVERIFY(!MakeClipboardData(table));
  }
};

QTEST_MAIN(TClipboardFormatsTest)
#include "tst_clipboardformats.moc"
