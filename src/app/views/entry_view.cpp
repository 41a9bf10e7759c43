#include "app/views/entry_view.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

#include <memory>

#include "app/dialogs/user_dialogs.h"
#include "app/platform/page_folder.h"
#include "app/platform/windows1252_text.h"
#include "app/views/page_display.h"
#include "app/views/quick_find_keys.h"
#include "docview/renderer.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// The digit 0..9 of a key of the main keyboard's digit row, or -1. With Shift the key reports the
// symbol above the digit, so the key is known by its place: on X11 and Wayland the keycodes 10..18 are
// the keys 1..9 and 19 the key 0; where no keycode is known, by the symbols of a US keyboard.
int DigitOfKey(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  const QString platform = QGuiApplication::platformName();
  const quint32 code = event.nativeScanCode();
  if ((platform == QStringLiteral("xcb") || platform.startsWith(QStringLiteral("wayland"))) && code != 0) {
    return code >= 10 && code <= 19 ? static_cast<int>((code - 9) % 10) : -1;
  }
  static constexpr int kShiftedDigits[10] = {
      Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
      Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  if (!(event.modifiers() & Qt::ShiftModifier)) return -1;
  for (int digit = 0; digit < 10; ++digit) {
    if (kShiftedDigits[digit] == key) return digit;
  }
  return -1;
}

}  // namespace

EntryView::EntryView(TomeReader& reader, const PageSettings& pageSettings, const PageFolder& pages,
                     UserDialogs& dialogs, QWidget* parent)
    : QTextBrowser(parent), m_reader(reader), m_pageSettings(pageSettings), m_pages(pages), m_dialogs(dialogs) {
  setObjectName(QStringLiteral("entryView"));
  setOpenLinks(false);
  // HTML font size 3, the pages' usual size, is the pane's own font size: a comfortable 12 points.
  QFont base = font();
  base.setPointSize(12);
  setFont(base);
  connect(this, &QTextBrowser::anchorClicked, this, &EntryView::FollowClickedLink);
  connect(this, qOverload<const QUrl&>(&QTextBrowser::highlighted), this, &EntryView::ReportHoveredLink);
}

void EntryView::ShowSubject(int subject, std::optional<FindMark> findMark) {
  if (!m_reader.IsOpen()) {
    ShowStartPage();
    return;
  }
  if (subject < 0 || subject >= m_reader.SubjectCount()) return;
  std::string page;
  const Status rendered = RenderEntryPageOf(m_reader, subject, m_pageSettings, findMark, page);
  const QString error = rendered.IsOk() ? m_pages.WritePage(page) : QString::fromStdString(rendered.Message());
  if (!error.isEmpty()) {
    const QString pageFile = m_pages.PageFilePath().isEmpty() ? QStringLiteral("the page") : m_pages.PageFilePath();
    m_dialogs.ShowMessage(window(), QStringLiteral("Librovance"),
                          QStringLiteral("Cannot show this entry: writing %1 failed:\n%2").arg(pageFile, error),
                          MessageIcon::kExclamation);
    return;
  }
  ShowPage(QByteArray::fromRawData(page.data(), static_cast<qsizetype>(page.size())), findMark.has_value());
  emit subjectShown(subject);
}

void EntryView::ShowPage(const QByteArray& pageBytes, bool atFindMark) {
  m_pageFileHtml = PrepareDisplayHtml(pageBytes);
  QUrl url = QUrl::fromLocalFile(m_pages.PageFilePath());
  if (atFindMark) url.setFragment(QStringLiteral("findloc"));
  Load(url);
}

void EntryView::ShowStartPage() { Load(QUrl::fromLocalFile(m_startPagePath)); }

void EntryView::NavigateTo(const QString& path) { Load(QUrl::fromLocalFile(path)); }

void EntryView::Load(const QUrl& url) {
  // Every page is the same file rewritten: the browser would only move to the fragment of a file it
  // shows already, so that file is loaded afresh first. The program keeps its own history.
  const bool sameFile = source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
  if (sameFile) reload();
  setSource(url);
  clearHistory();
  CheckLocation();
}

// Only the program's own pages stay in the pane: entry pages, the start page and the help index.
void EntryView::CheckLocation() {
  const QString name = source().fileName();
  if (name.startsWith(QStringLiteral("data")) || name.startsWith(QStringLiteral("startup")) ||
      name.startsWith(QStringLiteral("index"))) {
    return;
  }
  ShowStartPage();
}

void EntryView::FollowClickedLink(const QUrl& url) {
  const QString href = PageLinkText(url);
  FollowLink(href.isEmpty() ? url.toString() : href);
}

bool EntryView::FollowLink(const QString& href) {
  const QString prefix = QStringLiteral("tome::");
  if (!href.startsWith(prefix)) {
    FollowOtherLink(href);
    return false;
  }
  QString target = href.mid(prefix.size());
  target.replace(QStringLiteral("%20"), QStringLiteral(" "));
  if (!m_reader.IsOpen()) {
    ShowStartPage();
    return true;
  }
  int subject = m_reader.FindSubject(SubjectMatch::kExact, EncodeWindows1252(target));
  if (subject < 0) subject = 0;
  ShowSubject(subject);
  return true;
}

// A link within the page scrolls to its anchor; a web or mail link goes to the desktop's own browser
// or mail program; any other link (a local file, a script) is not followed.
void EntryView::FollowOtherLink(const QString& href) {
  if (href.startsWith(QLatin1Char('#'))) {
    scrollToAnchor(href.mid(1));
    return;
  }
  const QUrl url(href.trimmed());
  const QString scheme = url.scheme().toLower();
  if (url.isValid() &&
      (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || scheme == QStringLiteral("mailto"))) {
    m_dialogs.OpenExternalLink(window(), url);
  }
}

void EntryView::ReportHoveredLink(const QUrl& url) {
  if (url.isEmpty()) {
    emit linkHovered(QString());
    return;
  }
  const QString href = PageLinkText(url);
  emit linkHovered(href.isEmpty() ? url.toString() : href);
}

QVariant EntryView::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource) {
    const int bitmap = BackgroundBitmapNumber(name);
    if (bitmap >= 0) {
      QImage image(QStringLiteral(":/backgrounds/%1.png").arg(bitmap));
      if (image.isNull()) image = QImage(QStringLiteral(":/backgrounds/192.png"));
      return image;
    }
  }
  if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
    // The page file is displayed from the bytes it was written from, never read back.
    if (m_pageFileHtml && name.toLocalFile() == m_pages.PageFilePath()) return *m_pageFileHtml;
    QFile file(name.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) {
      // The help pages travel inside the program too, for when the installed ones are missing.
      QFile bundled(QStringLiteral(":/help/") + name.fileName());
      if (!bundled.open(QIODevice::ReadOnly)) return QString();
      return PrepareDisplayHtml(bundled.readAll());
    }
    return PrepareDisplayHtml(file.readAll());
  }
  return QTextBrowser::loadResource(type, name);
}

void EntryView::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (event->isAutoRepeat()) return;
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier)) return;
  const int key = event->key();
  const int digit = DigitOfKey(*event);
  int character = -1;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    character = key;  // capitals have their own codes as key values
  } else if (digit >= 0) {
    character = '0' + digit;
  } else if (key == Qt::Key_Backspace) {
    character = kQuickFindBackspace;
  } else if (key == Qt::Key_Escape) {
    character = kQuickFindEscape;
  }
  if (character >= 0) emit quickFindKey(character);
}

void EntryView::Print() {
  QPrinter printer(QPrinter::HighResolution);
  if (m_dialogs.ChoosePrinter(this, printer)) PrintTo(printer);
}

void EntryView::PrintTo(QPrinter& printer) {
  // A tiled background prints as stripes, so paper gets the page without it.
  std::unique_ptr<QTextDocument> copy(document()->clone());
  QTextFrameFormat format = copy->rootFrame()->frameFormat();
  format.clearBackground();
  copy->rootFrame()->setFrameFormat(format);
  copy->print(&printer);
}

}  // namespace lv
