#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;

// The renderings of "List to Clipboard": a table of cell texts (the captions of the visible
// columns in display order, then one list of texts per selected row, rows in list order) made
// into CSV, HTML and RTF, and the clipboard object that offers all of them.
//
// Every rendering shows each text exactly: whatever means something in a format (separators
// and quotes in CSV, markup characters in HTML, braces and backslashes in RTF) is escaped, and
// text beyond ASCII survives (UTF-8 in CSV and HTML, \uN escapes in RTF).

struct TClipboardTable {
  QStringList Captions;
  QList<QStringList> Rows;  // each as long as Captions
};

// The CSV field separator: ";" where the locale writes decimals with a comma (so numbers and
// fields do not clash in a spreadsheet of that locale), else ",".
QChar CsvSeparatorFor(const QLocale& locale);

// UTF-8 text: the caption line, then one line per row, each ended by CR LF. A field that holds
// the separator, a double quote, CR or LF is put in double quotes, inner quotes doubled.
QByteArray MakeCsv(const TClipboardTable& table, QChar separator);
// A UTF-8 HTML document with one table: a header row, then the rows. Cells keep their spaces.
QByteArray MakeHtml(const TClipboardTable& table);
// An RTF document (7-bit text) with one table: a bold header row, then the rows.
QByteArray MakeRtf(const TClipboardTable& table);

// The clipboard object: text/csv, text/html, text/rtf, application/rtf, and text/plain (the CSV
// text). None for a table without rows: the clipboard is then left as it is.
std::unique_ptr<QMimeData> MakeClipboardData(const TClipboardTable& table,
                                             const QLocale& locale = QLocale());
