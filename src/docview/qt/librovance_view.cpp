#include "docview/qt/librovance_view.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

#include <memory>

#include "app/app_paths.h"
#include "app/cp1252.h"
#include "app/librovance_app.h"
#include "app/main_frame.h"
#include "docview/qt/librovance_doc.h"
#include "docview/qt/page_source.h"
#include "docview/qt/subject_list_view.h"
#include "docview/renderer.h"

namespace lv {

CLibrovanceView::CLibrovanceView(CLibrovanceApp& app, QWidget* parent) : QTextBrowser(parent), m_app(app) {
  setObjectName(QStringLiteral("entryView"));
  setOpenLinks(false);
  // HTML font size 3, the pages' usual size, is the pane's own font size: a comfortable 12 points.
  QFont base = font();
  base.setPointSize(12);
  setFont(base);
  connect(this, &QTextBrowser::anchorClicked, this, &CLibrovanceView::OnAnchorClicked);
}

QString CLibrovanceView::StartPagePath() {
  if (m_startPagePath.isEmpty()) {
    m_startPagePath = HelpStartupPath(m_app.MainFrame()->Settings().helpPath, m_app.ProgramDir());
  }
  return m_startPagePath;
}

void CLibrovanceView::ShowSubject(int subjectIndex, int findOffset, int findLength) {
  CMainFrame* frame = m_app.MainFrame();
  TomeReader& reader = m_app.Document().Reader();
  if (!reader.IsOpen()) {
    ShowStartPage();
    return;
  }
  if (subjectIndex < 0 || subjectIndex >= reader.SubjectCount()) return;
  const QString pagePath = m_app.Pages().PageFilePath();
  const bool marked = findOffset != -1;
  PageSettings settings = PageSettingsFrom(frame->Settings());
  settings.entryFontSize = m_app.Document().EntryPageFontSize();
  std::optional<FindMark> find;
  if (marked) find = FindMark{findOffset, findLength};
  if (!WriteEntryPage(reader, subjectIndex, settings, find, QFile::encodeName(pagePath).toStdString()).ok()) {
    m_app.Dialogs().ShowMessage(frame, QStringLiteral("Librovance"),
                                QStringLiteral("Cannot show this entry: writing %1 failed.").arg(pagePath),
                                MessageIcon::kExclamation);
    return;
  }
  frame->SubjectList()->SelectSubject(subjectIndex);
  frame->History().Record(subjectIndex);
  NavigateToPageFile(pagePath, marked);
}

void CLibrovanceView::ShowStartPage() { Load(QUrl::fromLocalFile(StartPagePath())); }

void CLibrovanceView::NavigateToPageFile(const QString& path, bool atFindLocation) {
  QUrl url = QUrl::fromLocalFile(path);
  if (atFindLocation) url.setFragment(QStringLiteral("findloc"));
  Load(url);
}

void CLibrovanceView::NavigateTo(const QString& path) { Load(QUrl::fromLocalFile(path)); }

void CLibrovanceView::OnInitialUpdate() {
  const int kind = m_app.Document().Kind();
  if (kind != CLibrovanceDoc::kPalmDoc && kind != CLibrovanceDoc::kTextFile) ShowStartPage();
}

void CLibrovanceView::Load(const QUrl& url) {
  // Every page is the same file rewritten: the browser would only move to the fragment of a file it
  // shows already, so that file is read afresh first. The program keeps its own history.
  const bool sameFile = source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
  if (sameFile) reload();
  setSource(url);
  clearHistory();
  CheckLocation();
}

// Only the program's own pages stay in the pane: entry pages, the start page and the help index.
void CLibrovanceView::CheckLocation() {
  const QString name = source().fileName();
  if (name.startsWith(QStringLiteral("data")) || name.startsWith(QStringLiteral("startup")) ||
      name.startsWith(QStringLiteral("index"))) {
    return;
  }
  ShowStartPage();
}

void CLibrovanceView::OnAnchorClicked(const QUrl& url) {
  const QString href = PageLinkText(url);
  FollowLink(href.isEmpty() ? url.toString() : href);
}

bool CLibrovanceView::FollowLink(const QString& href) {
  const QString prefix = QStringLiteral("tome::");
  if (!href.startsWith(prefix)) {
    if (href.startsWith(QLatin1Char('#'))) {
      scrollToAnchor(href.mid(1));
    } else {
      Load(source().resolved(QUrl(href)));
    }
    return false;
  }
  QString target = href.mid(prefix.size());
  target.replace(QStringLiteral("%20"), QStringLiteral(" "));
  TomeReader& reader = m_app.Document().Reader();
  if (!reader.IsOpen()) {
    ShowStartPage();
    return true;
  }
  int subject = reader.FindSubject(SubjectMatch::kExact, EncodeWindows1252(target));
  if (subject < 0) subject = 0;
  ShowSubject(subject, -1, -1);
  return true;
}

QVariant CLibrovanceView::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource) {
    const int bitmap = BackgroundBitmapNumber(name);
    if (bitmap >= 0) {
      QImage image(QStringLiteral(":/backgrounds/%1.png").arg(bitmap));
      if (image.isNull()) image = QImage(QStringLiteral(":/backgrounds/192.png"));
      return image;
    }
  }
  if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
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

void CLibrovanceView::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (event->isAutoRepeat()) return;
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier)) return;
  const int key = event->key();
  int character = -1;
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    character = key;  // capitals and digits have their own codes as key values
  } else if (key == Qt::Key_Backspace) {
    character = 8;
  } else if (key == Qt::Key_Escape) {
    character = 27;
  }
  if (character >= 0) m_app.MainFrame()->QuickFindChar(character);
}

void CLibrovanceView::Print() {
  QPrinter printer(QPrinter::HighResolution);
  if (m_app.Dialogs().ChoosePrinter(this, printer)) PrintTo(printer);
}

void CLibrovanceView::PrintTo(QPrinter& printer) {
  // A tiled background prints as stripes, so paper gets the page without it.
  std::unique_ptr<QTextDocument> copy(document()->clone());
  QTextFrameFormat format = copy->rootFrame()->frameFormat();
  format.clearBackground();
  copy->rootFrame()->setFrameFormat(format);
  copy->print(&printer);
}

}  // namespace lv
