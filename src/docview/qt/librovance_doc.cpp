#include "docview/qt/librovance_doc.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include <cerrno>

#include "app/cp1252.h"
#include "app/librovance_app.h"
#include "app/main_frame.h"
#include "app/wait_cursor.h"
#include "docview/qt/librovance_view.h"
#include "docview/qt/subject_list_view.h"
#include "docview/renderer.h"

namespace lv {
namespace {

int SetOwnerWriteBit(const QString& path) {
  struct stat status {};
  const QByteArray name = QFile::encodeName(path);
  if (stat(name.constData(), &status) != 0) return errno;
  return chmod(name.constData(), status.st_mode | S_IWUSR) == 0 ? 0 : errno;
}

}  // namespace

CLibrovanceDoc::CLibrovanceDoc(CLibrovanceApp& app) : m_app(app), m_makeWritable(SetOwnerWriteBit) {}

CLibrovanceDoc::~CLibrovanceDoc() = default;

void CLibrovanceDoc::OnNewDocument() {
  m_kind = kNothing;
  m_pathName.clear();
  m_title = QStringLiteral("Untitled");
}

void CLibrovanceDoc::SetPathName(const QString& path) {
  m_pathName = path;
  m_title = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

void CLibrovanceDoc::SetPlainPageFont(int size, const QString& face) {
  m_plainPageFontSize = size;
  m_plainPageFontFace = face;
}

bool CLibrovanceDoc::OnOpenDocument(const QString& path) {
  if (CMainFrame* frame = m_app.MainFrame()) frame->ReimportWatch().watchFlag = 0;
  m_openedPath = path;
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : name.mid(dot);
  if (extension.compare(QStringLiteral(".pdb"), Qt::CaseInsensitive) == 0) return OpenPalmDatabase(path);
  if (extension.compare(QStringLiteral(".lv"), Qt::CaseInsensitive) == 0) return OpenTome(path);
  if (extension.compare(QStringLiteral(".txt"), Qt::CaseInsensitive) == 0) return OpenTextFile(path);
  m_app.Dialogs().ShowMessage(m_app.MainFrame(), QStringLiteral("Librovance"),
                              QStringLiteral("This file type is unrecognized."), MessageIcon::kExclamation);
  return false;
}

void CLibrovanceDoc::RefreshPage() {
  CMainFrame* frame = m_app.MainFrame();
  if (frame == nullptr) return;
  switch (m_kind) {
    case kTome:
      if (m_reader.IsOpen()) {
        frame->EntryView()->ShowSubject(std::max(0, frame->SubjectList()->SelectionMark()), -1, -1);
      }
      break;
    case kTextFile:
      WriteTextFilePage();
      break;
    default:
      break;
  }
}

void CLibrovanceDoc::EmptySubjectList() {
  if (m_app.IsStarted() && m_app.MainFrame() != nullptr) m_app.MainFrame()->SubjectList()->EmptyList();
}

bool CLibrovanceDoc::OpenPalmDatabase(const QString& path) {
  m_app.Dialogs().ShowMessage(
      m_app.MainFrame(), QStringLiteral("Librovance"),
      QStringLiteral("%1\n\nPalm databases (.pdb) cannot be shown by this version of Librovance yet.")
          .arg(QFileInfo(path).fileName()),
      MessageIcon::kExclamation);
  return false;
}

bool CLibrovanceDoc::OpenTextFile(const QString& path) {
  if (CMainFrame* frame = m_app.MainFrame()) {
    frame->EnableBookmarksMenu(false);
    frame->EnableQuickFind(false);
  }
  const QString previous = m_textFilePath;
  m_textFilePath = path;
  if (!WriteTextFilePage()) {
    // Nothing changed: a tome still shown keeps its quick find and Bookmarks menu.
    m_textFilePath = previous;
    if (CMainFrame* frame = m_app.MainFrame(); frame != nullptr && m_reader.IsOpen()) {
      frame->EnableBookmarksMenu(true);
      frame->EnableQuickFind(true);
    }
    return false;
  }
  m_reader.Close();
  EmptySubjectList();
  return true;
}

bool CLibrovanceDoc::WriteTextFilePage() {
  CMainFrame* frame = m_app.MainFrame();
  if (frame == nullptr) return false;
  WaitCursor wait;
  QFile text(m_textFilePath);
  if (!text.open(QIODevice::ReadOnly)) {
    m_app.Dialogs().ShowMessage(frame, QStringLiteral("Librovance"),
                                QStringLiteral("Cannot open %1:\n%2").arg(m_textFilePath, text.errorString()),
                                MessageIcon::kExclamation);
    return false;
  }
  const QString pagePath = m_app.Pages().PageFilePath();
  QFile page(pagePath);
  if (!page.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    m_app.Dialogs().ShowMessage(frame, QStringLiteral("Librovance"),
                                QStringLiteral("Cannot write %1:\n%2").arg(pagePath, page.errorString()),
                                MessageIcon::kExclamation);
    return false;
  }
  PageSettings settings = PageSettingsFrom(frame->Settings());
  settings.fontFace = EncodeWindows1252(m_plainPageFontFace);
  const std::string header = MakePlainPageHeader(settings, m_plainPageFontSize);
  page.write(header.data(), static_cast<qint64>(header.size()));
  while (!text.atEnd()) {
    QByteArray line = text.readLine();
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    page.write(line);
    page.write("<br>");
  }
  page.write("</body></html>");
  page.close();
  m_kind = kTextFile;
  frame->EntryView()->NavigateToPageFile(pagePath, false);
  return true;
}

}  // namespace lv
