#include "app/document/document.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "app/dialogs/user_dialogs.h"
#include "app/platform/page_folder.h"
#include "app/platform/wait_cursor.h"
#include "app/platform/windows1252_text.h"
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

Document::Document(UserDialogs& dialogs, const PageFolder& pages, const PageSettings& pageSettings, QObject* parent)
    : QObject(parent),
      m_dialogs(dialogs),
      m_pages(pages),
      m_pageSettings(pageSettings),
      m_makeWritable(SetOwnerWriteBit) {}

Document::~Document() = default;

void Document::SetPath(const QString& path) {
  m_path = path;
  m_title = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

void Document::SetPlainPageFont(int size, const QString& face) {
  m_plainPageFontSize = size;
  m_plainPageFontFace = face;
}

bool Document::Open(const QString& path) {
  m_reimportWatch.watchFlag = 0;
  m_openedPath = path;
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : name.mid(dot);
  if (extension.compare(QStringLiteral(".pdb"), Qt::CaseInsensitive) == 0) return OpenPalmDatabase(path);
  if (extension.compare(QStringLiteral(".lv"), Qt::CaseInsensitive) == 0) return OpenTome(path);
  if (extension.compare(QStringLiteral(".txt"), Qt::CaseInsensitive) == 0) return OpenTextFile(path);
  m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Librovance"), QStringLiteral("This file type is unrecognized."),
                        MessageIcon::kExclamation);
  return false;
}

void Document::RefreshTextPage() {
  if (m_kind == DocumentKind::kTextFile) WriteTextFilePage();
}

void Document::CloseTome() {
  m_reader.Close();
  emit tomeClosed();
}

bool Document::OpenTextFile(const QString& path) {
  emit tomeInUseChanged(false);
  const QString previous = m_textFilePath;
  m_textFilePath = path;
  if (!WriteTextFilePage()) {
    // Nothing changed: a tome still shown keeps its quick find and Bookmarks menu.
    m_textFilePath = previous;
    if (m_reader.IsOpen()) emit tomeInUseChanged(true);
    return false;
  }
  CloseTome();
  return true;
}

// The page is built in memory, written to the page file from that buffer, and handed on as it is.
bool Document::WriteTextFilePage() {
  WaitCursor wait;
  QFile text(m_textFilePath);
  if (!text.open(QIODevice::ReadOnly)) {
    m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Librovance"),
                          QStringLiteral("Cannot open %1:\n%2").arg(m_textFilePath, text.errorString()),
                          MessageIcon::kExclamation);
    return false;
  }
  PageSettings settings = m_pageSettings;
  settings.fontFace = EncodeWindows1252(m_plainPageFontFace);
  std::string page = MakePlainPageHeader(settings, m_plainPageFontSize);
  while (!text.atEnd()) {
    QByteArray line = text.readLine();
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    page.append(line.constData(), static_cast<size_t>(line.size()));
    page += "<br>";
  }
  page += "</body></html>";
  const QString error = m_pages.WritePage(page);
  if (!error.isEmpty()) {
    m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Librovance"),
                          QStringLiteral("Cannot write %1:\n%2").arg(m_pages.PageFilePath(), error),
                          MessageIcon::kExclamation);
    return false;
  }
  m_kind = DocumentKind::kTextFile;
  emit textPageWritten(QByteArray::fromStdString(page));
  return true;
}

}  // namespace lv
