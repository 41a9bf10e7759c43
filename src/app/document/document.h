// Document: the single open document. It decides from the file name what a file is, opens tomes
// through the reader (offering a copy from read-only media and the upgrade of version-1 tomes), and
// builds the pages of text files and PalmDOC databases. It knows nothing of the window: what happens
// to it is reported by signals, and every question goes through the user dialogs.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/document/search_runner.h"
#include "docview/renderer.h"
#include "docview/text_page.h"
#include "palm/palmdoc_reader.h"
#include "search/tome_search.h"
#include "tome/tome_reader.h"

class QWidget;

namespace lv {

class InstallQueue;
class PageFolder;
class UserDialogs;
struct PageSettings;
struct SearchDialogValues;

// What the document shows.
enum class DocumentKind { kNothing = 0, kPalmDoc = 1, kTome = 2, kTextFile = 3 };

// The import source watched for changes after an import.
struct ReimportWatch {
  int watchFlag = 0;
  int sortFlag = 0;
  QString sourcePath;
  QDateTime modified;
};

// The last search, kept for Find Next across tomes.
struct SearchState {
  bool defined = false;
  SearchQuery query;
  int lastHit = -1;        // the subject shown by the last successful search, -1 before any
  int64_t hitOffset = -1;  // where in that entry's stored text the hit lies, -1 for its subject
};

// The search the Search dialog describes.
SearchQuery SearchQueryFrom(const SearchDialogValues& values);

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
  // Builds the page of the text file or PalmDOC on display again, with the current settings (a
  // PalmDOC's find mark stays where it is).
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

  // Find: makes query the search and runs it from subject start (the selected one). Find Next: runs
  // the search again from the subject after its last hit, or from fallbackStart when it never hit;
  // false when there is no search. Both run on a worker thread and report by searchHit; nothing
  // happens without an open tome.
  void Find(const SearchQuery& query, int start);
  bool FindNext(int fallbackStart);
  const SearchState& Search() const { return m_search; }
  // Find in a PalmDOC on display: term as typed (white space at its ends left out), case-sensitive;
  // the match is marked and the page shown at it. Find Next looks for the last term found again,
  // after its last match and wrapping to the start. False when nothing was found.
  bool FindInPalmDoc(const QString& term);
  bool FindNextInPalmDoc();
  const PalmDocReader& PalmDoc() const { return m_palmDoc; }
  SearchRunner& Searcher() { return m_searcher; }

  // How a read-only tome is made writable again: returns 0 or the errno of the failure. Tests put
  // a read-only medium in place of the file system here.
  using MakeWritableFunction = std::function<int(const QString& path)>;
  void SetMakeWritable(MakeWritableFunction makeWritable) { m_makeWritable = std::move(makeWritable); }
  // Whether a file lies on a file system mounted read-only. Tests put a read-only mount in place here.
  using ReadOnlyFileSystemFunction = std::function<bool(const QString& path)>;
  void SetReadOnlyFileSystemCheck(ReadOnlyFileSystemFunction check) { m_isOnReadOnlyFileSystem = std::move(check); }

 signals:
  // Whether the tome's own commands (quick find, bookmarks) apply: true as a tome is being opened,
  // false as a text file is, and true again when that text file fails while the tome stays open.
  void tomeInUseChanged(bool inUse);
  // The reader let go of the tome (another document replaces it, or an upgrade rewrites it).
  void tomeClosed();
  // path could not be opened as a tome; nothing is open now. The user is told why after this signal.
  void tomeOpenFailed(const QString& path);
  // The page of a text file or PalmDOC was written to the page file; pageBytes are its bytes. It is
  // to be shown at its find mark when atFindMark is set.
  void textPageWritten(const QByteArray& pageBytes, bool atFindMark);
  // The search found subject; mark is the stretch of its stored entry text to mark (none for a hit
  // in the subject).
  void searchHit(int subject, std::optional<lv::FindMark> mark);
  // The search could not read the tome.
  void searchFailed(const QString& cause);

 private:
  enum class CdState { kOrdinary, kCopy, kReadFromCd };

  bool OpenTome(const QString& path);
  CdState CheckReadOnlyMedium(const QString& path);
  CdState AskToCopyFromReadOnlyMedium();
  // Copies the tome to a place the user picks; answers the path to open and the new CD state.
  QString CopyFromReadOnlyMedium(const QString& path, CdState& state);
  void OfferUpgrade(const QString& path);
  bool OpenTextFile(const QString& path);
  bool WriteTextFilePage();
  // Tells the user that path could not be opened, and why: a failure that names the file already (an
  // IO error) as it stands, any other below the path.
  void ShowOpenFailure(const QString& path, const Status& failure);
  bool OpenPalmDatabase(const QString& path);
  bool ShowOpenedPalmDoc(const QString& path);
  void RestoreShownPalmDoc();
  bool WritePalmDocPage(bool atFindMark);
  bool ShowPalmDocMatch(int position, size_t length);
  bool WritePage(const std::string& page, bool atFindMark);
  void CloseTome();
  void RunSearch(int start);
  void TakeSearchOutcome(const SearchOutcome& outcome);

  UserDialogs& m_dialogs;
  const PageFolder& m_pages;
  const PageSettings& m_pageSettings;
  QWidget* m_dialogParent = nullptr;
  TomeReader m_reader;
  // The reader's messages (it cannot hold a PalmDOC's text) go to the user dialogs.
  class DialogMessages;
  std::unique_ptr<DialogMessages> m_palmDocMessages;
  // Lives as long as the document: the last PalmDOC term is found again in the next PalmDOC.
  PalmDocReader m_palmDoc;
  QString m_palmDocPath;
  TextEncoding m_palmDocEncoding = TextEncoding::kWindows1252;
  std::optional<FindMark> m_palmDocMark;
  ReimportWatch m_reimportWatch;
  DocumentKind m_kind = DocumentKind::kNothing;
  int m_plainPageFontSize = 12;
  QString m_plainPageFontFace = QStringLiteral("Arial");
  QString m_textFilePath;
  QString m_path;
  QString m_openedPath;
  QString m_title = QStringLiteral("Untitled");
  MakeWritableFunction m_makeWritable;
  ReadOnlyFileSystemFunction m_isOnReadOnlyFileSystem;
  SearchState m_search;
  SearchRunner m_searcher;
  InstallQueue* m_installQueue = nullptr;
  QString m_hotSyncFolder;
};

}  // namespace lv
