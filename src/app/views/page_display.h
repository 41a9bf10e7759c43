// The one step between a page's bytes and what the entry view displays. A page is rendered once into
// memory; the page file is written from those bytes as they are (it is what prints and what an outside
// browser opens), and the view is given the same bytes through PrepareDisplayHtml, which adjusts them
// to the HTML subset Qt shows: decoding (Windows-1252, or UTF-8 when the page's head declares it), strike-through,
// colours written without "#", the mis-nested find mark, and links carried intact to the link rule. Help pages read
// from disk take the same step.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace lv {

// Scheme of the links the pane is given; the rest of the URL is the page's own link text,
// percent-encoded.
inline constexpr char kPageLinkScheme[] = "lvhref";

// The HTML the view displays for the bytes of a page (entry page, text file page or help page).
QString PrepareDisplayHtml(const QByteArray& pageBytes);

// The link text a displayed link stands for (empty when url is not one of ours).
QString PageLinkText(const QUrl& url);

// The background bitmap number in "res://librovance.exe/#2/#192" (as the pane is asked for it), or
// -1 when url names none.
int BackgroundBitmapNumber(const QUrl& url);

}  // namespace lv
