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
#include "docview/text_page.h"
#include "tome/file_util.h"

namespace lv {
namespace {

int SetOwnerWriteBit(const QString& path) {
  struct stat status {};
  const QByteArray name = QFile::encodeName(path);
  if (stat(name.constData(), &status) != 0) return errno;
  return chmod(name.constData(), status.st_mode | S_IWUSR) == 0 ? 0 : errno;
}

}  // namespace

class Document::DialogMessages : public MessageSink {
 public:
  DialogMessages(UserDialogs& dialogs, QWidget* const& parent) : m_dialogs(dialogs), m_parent(parent) {}
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    m_dialogs.ShowMessage(m_parent, QStringLiteral("Librovance"), DecodeWindows1252(text), icon);
  }

 private:
  UserDialogs& m_dialogs;
  QWidget* const& m_parent;  // the document's dialog parent, as it is when a message comes
};

Document::Document(UserDialogs& dialogs, const PageFolder& pages, const PageSettings& pageSettings, QObject* parent)
    : QObject(parent),
      m_dialogs(dialogs),
      m_pages(pages),
      m_pageSettings(pageSettings),
      m_palmDocMessages(std::make_unique<DialogMessages>(dialogs, m_dialogParent)),
      m_palmDoc(m_palmDocMessages.get()),
      m_makeWritable(SetOwnerWriteBit),
      m_isOnReadOnlyFileSystem(
          [](const QString& path) { return IsOnReadOnlyFileSystem(QFile::encodeName(path).toStdString()); }) {
  connect(&m_searcher, &SearchRunner::finished, this, &Document::TakeSearchOutcome);
}

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
  m_searcher.Cancel();  // a search of the file on display would report on the next one
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
  if (m_kind == DocumentKind::kPalmDoc) WritePalmDocPage(false);
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
  // Only regular files are read: a named pipe or a device would hold the window forever.
  std::string bytes;
  if (Status read = ReadWholeFile(QFile::encodeName(m_textFilePath).toStdString(), bytes); !read.IsOk()) {
    ShowOpenFailure(m_textFilePath, read);
    return false;
  }
  PageSettings settings = m_pageSettings;
  settings.fontFace = EncodeWindows1252(m_plainPageFontFace);
  const std::string page = RenderTextPage(bytes, settings, m_plainPageFontSize);
  if (!WritePage(page, false)) return false;
  m_kind = DocumentKind::kTextFile;
  return true;
}

void Document::ShowOpenFailure(const QString& path, const Status& failure) {
  QString cause = QString::fromLocal8Bit(failure.Message());
  if (!cause.isEmpty()) cause[0] = cause[0].toUpper();
  const QString text = failure.Code() == StatusCode::kIoError ? cause + QLatin1Char('.')
                                                              : QStringLiteral("Cannot open %1:\n%2.").arg(path, cause);
  m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Librovance"), text, MessageIcon::kExclamation);
}

bool Document::WritePage(const std::string& page, bool atFindMark) {
  const QString error = m_pages.WritePage(page);
  if (!error.isEmpty()) {
    m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Librovance"),
                          QStringLiteral("Cannot write %1:\n%2").arg(m_pages.PageFilePath(), error),
                          MessageIcon::kExclamation);
    return false;
  }
  emit textPageWritten(QByteArray::fromStdString(page), atFindMark);
  return true;
}

}  // namespace lv
