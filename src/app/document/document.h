// Document: the single open document. It decides from the file name what a file is, opens tomes
// through the reader (offering a copy from read-only media and the upgrade of version-1 tomes), and
// builds the pages of text files. It knows nothing of the window: what happens to it is reported by
// signals, and every question goes through the user dialogs.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "tome/tome_reader.h"

class QWidget;

namespace lv {

class InstallQueue;
class PageFolder;
class UserDialogs;
struct PageSettings;

// What the document shows.
enum class DocumentKind { kNothing = 0, kPalmDoc = 1, kTome = 2, kTextFile = 3 };

// The import source watched for changes after an import.
struct ReimportWatch {
  int watchFlag = 0;
  int sortFlag = 0;
  QString sourcePath;
  QDateTime modified;
};

class Document : public QObject {
  Q_OBJECT

 public:
  // The collaborators must outlive the document; pageSettings is read at every text file page.
  Document(UserDialogs& dialogs, const PageFolder& pages, const PageSettings& pageSettings, QObject* parent = nullptr);
  ~Document() override;

  // The window the document's questions and messages belong to.
  void SetDialogParent(QWidget* parent) { m_dialogParent = parent; }
  // Where a Palm database the document cannot show is queued for the handheld (folder is shown
  // when there is no HotSync user yet). Without a queue no installation is offered.
  void SetInstallQueue(InstallQueue* queue, const QString& folder) {
    m_installQueue = queue;
    m_hotSyncFolder = folder;
  }

  // Opens path; true when the document now shows it.
  bool Open(const QString& path);
  // Builds the page of the text file on display again, with the current settings.
  void RefreshTextPage();

  TomeReader& Reader() { return m_reader; }
  DocumentKind Kind() const { return m_kind; }
  bool IsTomeOpen() const { return m_reader.IsOpen(); }
  ReimportWatch& Reimport() { return m_reimportWatch; }

  // The file the document shows (empty when none) and its title.
  const QString& Path() const { return m_path; }
  const QString& Title() const { return m_title; }
  void SetPath(const QString& path);
  // The file the last successful open really opened: the copy when a tome was copied from a
  // read-only medium, else the path asked for.
  const QString& OpenedPath() const { return m_openedPath; }

  int PlainPageFontSize() const { return m_plainPageFontSize; }
  const QString& PlainPageFontFace() const { return m_plainPageFontFace; }
  void SetPlainPageFont(int size, const QString& face);

  // How a read-only tome is made writable again: returns 0 or the errno of the failure. Tests put
  // a read-only medium in place of the file system here.
  using MakeWritableFunction = std::function<int(const QString& path)>;
  void SetMakeWritable(MakeWritableFunction makeWritable) { m_makeWritable = std::move(makeWritable); }

 signals:
  // Whether the tome's own commands (quick find, bookmarks) apply: true as a tome is being opened,
  // false as a text file is, and true again when that text file fails while the tome stays open.
  void tomeInUseChanged(bool inUse);
  // The reader let go of the tome (another document replaces it, or an upgrade rewrites it).
  void tomeClosed();
  // path could not be opened as a tome; nothing is open now.
  void tomeOpenFailed(const QString& path);
  // The page of a text file was written to the page file; pageBytes are its bytes.
  void textPageWritten(const QByteArray& pageBytes);

 private:
  enum class CdState { kOrdinary, kCopy, kReadFromCd };

  bool OpenTome(const QString& path);
  CdState CheckReadOnlyMedium(const QString& path);
  // Copies the tome to a place the user picks; answers the path to open and the new CD state.
  QString CopyFromReadOnlyMedium(const QString& path, CdState& state);
  void OfferUpgrade(const QString& path);
  bool OpenTextFile(const QString& path);
  bool WriteTextFilePage();
  bool OpenPalmDatabase(const QString& path);
  void CloseTome();

  UserDialogs& m_dialogs;
  const PageFolder& m_pages;
  const PageSettings& m_pageSettings;
  QWidget* m_dialogParent = nullptr;
  TomeReader m_reader;
  ReimportWatch m_reimportWatch;
  DocumentKind m_kind = DocumentKind::kNothing;
  int m_plainPageFontSize = 12;
  QString m_plainPageFontFace = QStringLiteral("Arial");
  QString m_textFilePath;
  QString m_path;
  QString m_openedPath;
  QString m_title = QStringLiteral("Untitled");
  MakeWritableFunction m_makeWritable;
  InstallQueue* m_installQueue = nullptr;
  QString m_hotSyncFolder;
};

}  // namespace lv
