// CLibrovanceDoc: the single open document. It decides from the file name what a file is, opens
// tomes through the reader (offering a copy from read-only media and the upgrade of version-1
// tomes), shows text files as plain pages, and re-shows the current page when settings change.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "tome/tome_reader.h"

namespace lv {

class CLibrovanceApp;

class CLibrovanceDoc : public QObject {
  Q_OBJECT

 public:
  enum Kind { kNothing = 0, kPalmDoc = 1, kTome = 2, kTextFile = 3 };

  explicit CLibrovanceDoc(CLibrovanceApp& app);
  ~CLibrovanceDoc() override;

  void OnNewDocument();
  // Opens path; true when the document now shows it.
  bool OnOpenDocument(const QString& path);
  // Shows the current page again with the current settings.
  void RefreshPage();

  TomeReader& Reader() { return m_reader; }
  int Kind() const { return m_kind; }
  bool IsTomeOpen() const { return m_reader.IsOpen(); }

  // The file the document shows (empty when none) and its title.
  const QString& PathName() const { return m_pathName; }
  const QString& Title() const { return m_title; }
  void SetPathName(const QString& path);
  // The file the last successful open really opened: the copy when a tome was copied from a
  // read-only medium, else the path asked for.
  const QString& OpenedPath() const { return m_openedPath; }

  // HTML font size 1..7 of entry pages; 3 at construction.
  int EntryPageFontSize() const { return m_entryPageFontSize; }
  void SetEntryPageFontSize(int size) { m_entryPageFontSize = size; }
  int PlainPageFontSize() const { return m_plainPageFontSize; }
  const QString& PlainPageFontFace() const { return m_plainPageFontFace; }
  void SetPlainPageFont(int size, const QString& face);

  // How a read-only tome is made writable again: returns 0 or the errno of the failure. Tests put
  // a read-only medium in place of the file system here.
  using MakeWritableFunction = std::function<int(const QString& path)>;
  void SetMakeWritable(MakeWritableFunction makeWritable) { m_makeWritable = std::move(makeWritable); }

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
  void EmptySubjectList();

  CLibrovanceApp& m_app;
  TomeReader m_reader;
  int m_kind = kNothing;
  int m_entryPageFontSize = 3;
  int m_plainPageFontSize = 12;
  QString m_plainPageFontFace = QStringLiteral("Arial");
  QString m_textFilePath;
  QString m_pathName;
  QString m_openedPath;
  QString m_title = QStringLiteral("Untitled");
  MakeWritableFunction m_makeWritable;
};

}  // namespace lv
