#include "app/views/page_display.h"

#include <QRegularExpression>

#include <algorithm>

#include "app/platform/windows1252_text.h"

namespace lv {
namespace {

void FixStrikeThrough(QString& html) {
  html.replace(QStringLiteral("<strike>"), QStringLiteral("<s>"), Qt::CaseInsensitive);
  html.replace(QStringLiteral("</strike>"), QStringLiteral("</s>"), Qt::CaseInsensitive);
}

void FixBareColours(QString& html) {
  static const QRegularExpression colour(QStringLiteral("bgcolor\\s*=\\s*\"([0-9a-fA-F]{6})\""));
  html.replace(colour, QStringLiteral("bgcolor=\"#\\1\""));
}

// The find mark is written as <a name="findloc"><font color="red">...</a></font>; the pane needs the
// anchor closed first and the font closed after the marked text.
void FixFindMark(QString& html) {
  const QString open = QStringLiteral("<a name=\"findloc\"><font color=\"red\">");
  const QString close = QStringLiteral("</a></font>");
  const qsizetype start = html.indexOf(open);
  if (start < 0) return;
  const qsizetype end = html.indexOf(close, start + open.size());
  if (end < 0) return;
  html.replace(end, close.size(), QStringLiteral("</font>"));
  html.replace(start, open.size(), QStringLiteral("<a name=\"findloc\"></a><font color=\"red\">"));
}

// Every link's text travels percent-encoded in our own scheme, so that the link rule sees it exactly
// as the page wrote it (Qt would change the case of a scheme and escape spaces).
void CarryLinks(QString& html) {
  static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""), QRegularExpression::CaseInsensitiveOption);
  QString result;
  result.reserve(html.size() + 64);
  qsizetype last = 0;
  auto matches = link.globalMatch(html);
  while (matches.hasNext()) {
    const QRegularExpressionMatch match = matches.next();
    result.append(QStringView(html).mid(last, match.capturedStart() - last));
    result.append(
        QStringLiteral("href=\"%1:%2\"")
            .arg(QLatin1String(kPageLinkScheme), QString::fromLatin1(match.captured(1).toUtf8().toPercentEncoding())));
    last = match.capturedEnd();
  }
  if (last == 0) return;
  result.append(QStringView(html).mid(last));
  html = result;
}

// Pages are Windows-1252 unless their head declares UTF-8 (text pages of UTF-8 files).
bool DeclaresUtf8(const QByteArray& pageBytes) {
  constexpr qsizetype kHeadLength = 512;
  const qsizetype bodyStart = pageBytes.indexOf("<body");
  const QByteArray head = pageBytes.left(bodyStart < 0 ? kHeadLength : std::min(bodyStart, kHeadLength));
  return head.contains("charset=utf-8");
}

}  // namespace

QString PrepareDisplayHtml(const QByteArray& pageBytes) {
  QString html = DeclaresUtf8(pageBytes) ? QString::fromUtf8(pageBytes) : DecodeWindows1252(pageBytes);
  FixStrikeThrough(html);
  FixBareColours(html);
  FixFindMark(html);
  CarryLinks(html);
  return html;
}

QString PageLinkText(const QUrl& url) {
  const QByteArray encoded = url.toEncoded(QUrl::FullyEncoded);
  const QByteArray prefix = QByteArray(kPageLinkScheme) + ':';
  if (!encoded.startsWith(prefix)) return QString();
  return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded.mid(prefix.size())));
}

int BackgroundBitmapNumber(const QUrl& url) {
  const QString text = QUrl::fromPercentEncoding(url.toEncoded());
  if (!text.contains(QStringLiteral("librovance.exe"), Qt::CaseInsensitive)) return -1;
  static const QRegularExpression number(QStringLiteral("#(\\d+)$"));
  const QRegularExpressionMatch match = number.match(text);
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace lv
