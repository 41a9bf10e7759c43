// Turns the bytes of a page file into the HTML the page pane displays. The page file itself stays as
// written; only what the pane is given is adjusted: Windows-1252 decoding, strike-through, colours
// written without "#", the mis-nested find mark, and links carried intact to the link rule.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace lv {

// Scheme of the links the pane is given; the rest of the URL is the page's own link text,
// percent-encoded.
inline constexpr char kPageLinkScheme[] = "lvhref";

QString PrepareDisplayHtml(const QByteArray& pageBytes);

// The link text a displayed link stands for (empty when url is not one of ours).
QString PageLinkText(const QUrl& url);

// The background bitmap number in "res://librovance.exe/#2/#192" (as the pane is asked for it), or
// -1 when url names none.
int BackgroundBitmapNumber(const QUrl& url);

}  // namespace lv
