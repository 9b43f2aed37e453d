#include "explorer/ClipboardFormats.h"

#include <QMimeData>

namespace {

// Column width in the RTF table, in twips (1/1440 inch): about 2.2 cm, wide enough to read.
constexpr int kRtfColumnWidth = 1250;

QString CsvField(const QString& text, QChar separator) {
  if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\r') &&
      !text.contains(u'\n'))
    return text;
  QString quoted = text;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString CsvLine(const QStringList& fields, QChar separator) {
  QString line;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += CsvField(fields.at(i), separator);
  }
  return line + QStringLiteral("\r\n");
}

QString HtmlText(const QString& text) {
  QString escaped = text.toHtmlEscaped();  // & < > "
  escaped.replace(u'\'', QStringLiteral("&#39;"));
  return escaped;
}

void AppendHtmlRow(QString& html, const QStringList& fields, const char* cellTag) {
  html += QStringLiteral("<tr>");
  for (const QString& field : fields)
    html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(cellTag), HtmlText(field));
  html += QStringLiteral("</tr>\r\n");
}

// RTF text in 7-bit form: the three control characters escaped, line breaks and tabs as their
// control words, everything else outside printable ASCII as \uN? (N a signed 16-bit UTF-16
// unit, "?" the fallback for readers without Unicode; surrogate pairs give two escapes).
QByteArray RtfText(const QString& text) {
  QByteArray rtf;
  for (const QChar c : text) {
    const char16_t unit = c.unicode();
    if (unit == u'\\' || unit == u'{' || unit == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(unit);
    } else if (unit == u'\t') {
      rtf += "\\tab ";
    } else if (unit == u'\n') {
      rtf += "\\line ";
    } else if (unit >= 0x20 && unit < 0x7F) {
      rtf += static_cast<char>(unit);
    } else {
      rtf += "\\u" + QByteArray::number(static_cast<std::int16_t>(unit)) + '?';
    }
  }
  return rtf;
}

void AppendRtfRow(QByteArray& rtf, const QStringList& fields, bool bold) {
  rtf += "\\trowd\\trgaph60";
  for (qsizetype i = 1; i <= fields.size(); ++i)
    rtf += "\\cellx" + QByteArray::number(i * kRtfColumnWidth);
  rtf += "\r\n";
  for (const QString& field : fields) {
    rtf += "\\pard\\intbl";
    rtf += bold ? "\\b " : " ";
    rtf += RtfText(field);
    rtf += bold ? "\\b0\\cell\r\n" : "\\cell\r\n";
  }
  rtf += "\\row\r\n";
}

}  // namespace

QChar CsvSeparatorFor(const QLocale& locale) {
  return locale.decimalPoint() == QStringLiteral(",") ? u';' : u',';
}

QByteArray MakeCsv(const TClipboardTable& table, QChar separator) {
  QString csv = CsvLine(table.Captions, separator);
  for (const QStringList& row : table.Rows) csv += CsvLine(row, separator);
  return csv.toUtf8();
}

QByteArray MakeHtml(const TClipboardTable& table) {
  QString html = QStringLiteral(
      "<html><head><meta charset=\"utf-8\"></head><body>\r\n"
      "<table border=\"1\" style=\"border-collapse:collapse;white-space:pre\">\r\n");
  AppendHtmlRow(html, table.Captions, "th");
  for (const QStringList& row : table.Rows) AppendHtmlRow(html, row, "td");
  html += QStringLiteral("</table>\r\n</body></html>\r\n");
  return html.toUtf8();
}

QByteArray MakeRtf(const TClipboardTable& table) {
  QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\uc1\\fs18\r\n";
  AppendRtfRow(rtf, table.Captions, true);
  for (const QStringList& row : table.Rows) AppendRtfRow(rtf, row, false);
  rtf += "}\r\n";
  return rtf;
}

std::unique_ptr<QMimeData> MakeClipboardData(const TClipboardTable& table, const QLocale& locale) {
  if (table.Rows.isEmpty()) return nullptr;
  auto data = std::make_unique<QMimeData>();
  const QByteArray csv = MakeCsv(table, CsvSeparatorFor(locale));
  const QByteArray rtf = MakeRtf(table);
  data->setData(QStringLiteral("text/csv"), csv);
  data->setData(QStringLiteral("text/html"), MakeHtml(table));
  data->setData(QStringLiteral("text/rtf"), rtf);
  data->setData(QStringLiteral("application/rtf"), rtf);
  data->setData(QStringLiteral("text/plain"), csv);
  return data;
}
