// Opening a tome: the read-only medium check with its copy offer, the reader open, the failed-open
// path and the upgrade of a version-1 tome.
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/platform/wait_cursor.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_import.h"

namespace lv {
namespace {

const QString kTitle = QStringLiteral("Librovance");

// Copies source over destination through a temporary file beside it, then gives the copy the
// source's times and its owner the right to write it. Empty on success, else the cause.
QString CopyTomeFile(const QString& source, const QString& destination) {
  const QByteArray sourceName = QFile::encodeName(source);
  File in;
  if (const Status opened = OpenForReading(sourceName.toStdString(), in); !opened.IsOk()) {
    return QString::fromStdString(opened.Message());
  }
  AtomicFileWriter writer;
  if (const Status opened = writer.Open(QFile::encodeName(destination).toStdString()); !opened.IsOk()) {
    return QString::fromStdString(opened.Message());
  }
  if (!CopyStream(in.get(), writer.Stream())) return QStringLiteral("cannot copy the file");
  if (const Status committed = writer.Commit(); !committed.IsOk()) return QString::fromStdString(committed.Message());
  struct stat status {};
  const QByteArray destinationName = QFile::encodeName(destination);
  if (stat(sourceName.constData(), &status) == 0) {
    const decltype(status.st_atim) times[2] = {status.st_atim, status.st_mtim};
    utimensat(AT_FDCWD, destinationName.constData(), times, 0);
    chmod(destinationName.constData(), (status.st_mode & 07777) | S_IWUSR);
  }
  return QString();
}

}  // namespace

bool Document::OpenTome(const QString& path) {
  m_kind = DocumentKind::kTome;
  emit tomeInUseChanged(true);
  CdState state = CheckReadOnlyMedium(path);
  QString openPath = path;
  if (state == CdState::kCopy) openPath = CopyFromReadOnlyMedium(path, state);

  const Status opened = m_reader.Open(QFile::encodeName(openPath).toStdString(),
                                      state == CdState::kReadFromCd ? OpenMode::kReadOnly : OpenMode::kReadWrite);
  if (!m_reader.IsOpen()) {
    // The path stays empty, so a failed file is never saved as the last tome.
    SetPath(QString());
    emit tomeInUseChanged(false);
    emit tomeOpenFailed(openPath);
    ShowOpenFailure(openPath, opened);
    return false;
  }
  m_openedPath = openPath;
  if (!m_reader.IsCurrentLayout() && state == CdState::kOrdinary) OfferUpgrade(openPath);
  return m_reader.IsOpen();
}

// A tome on a file system mounted read-only, or one whose write bit cannot be set, is on a read-only
// medium: the user is offered a copy. (A stick mounted read-only or a CD can keep write bits that
// the file system will not honour.)
Document::CdState Document::CheckReadOnlyMedium(const QString& path) {
  struct stat status {};
  const QByteArray name = QFile::encodeName(path);
  if (stat(name.constData(), &status) != 0) return CdState::kOrdinary;
  if (m_isOnReadOnlyFileSystem(path)) return AskToCopyFromReadOnlyMedium();
  if ((status.st_mode & S_IWUSR) == 0) {
    return m_makeWritable(path) != 0 ? AskToCopyFromReadOnlyMedium() : CdState::kOrdinary;
  }
  // A file of another user that we may not write is read without a question, and never upgraded.
  if (access(name.constData(), W_OK) != 0) return CdState::kReadFromCd;
  return CdState::kOrdinary;
}

Document::CdState Document::AskToCopyFromReadOnlyMedium() {
  const bool copy = m_dialogs.AskYesNo(
      m_dialogParent, QStringLiteral("Copy file from CD to Hard-drive?"),
      QStringLiteral("The file you are opening is stored on a CDROM. Although Librovance can view files "
                     "stored on CDROMs its operation will be noticeably slower on large files and you will "
                     "not be able to save recorded Bookmarks.\n\nWould you like to copy this file to your "
                     "hard-drive and open it from there?"),
      MessageIcon::kExclamation);
  return copy ? CdState::kCopy : CdState::kReadFromCd;
}

QString Document::CopyFromReadOnlyMedium(const QString& path, CdState& state) {
  const QString destination =
      m_dialogs.ChooseFileToSave(m_dialogParent, path, QStringLiteral("Librovance files (*.lv)"), QStringLiteral("lv"));
  if (destination.isEmpty()) {
    state = CdState::kReadFromCd;
    return path;
  }
  if (!CopyTomeFile(path, destination).isEmpty()) {
    m_dialogs.ShowMessage(m_dialogParent, QStringLiteral("Error"),
                          QStringLiteral("Could not save file.\nOpening from CD."), MessageIcon::kExclamation);
    state = CdState::kReadFromCd;
    return path;
  }
  return destination;
}

void Document::OfferUpgrade(const QString& path) {
  const bool upgrade = m_dialogs.AskYesNo(
      m_dialogParent, QStringLiteral("Upgrade file?"),
      QStringLiteral("The file you have opened is in the old Librovance version 1 file format.\nUpgrading the "
                     "file will save space on your hard drive.\nUpgrading may take a little time but only has "
                     "to be done once for each file.\nIt is recommended that you upgrade."),
      MessageIcon::kExclamation);
  if (!upgrade) return;
  // The reader lets go of the file (saving its bookmarks) before the upgrade replaces it.
  CloseTome();
  const std::string name = QFile::encodeName(path).toStdString();
  UpgradeOutcome outcome;
  {
    WaitCursor wait;
    outcome = UpgradeVersion1Tome(name);
  }
  if (!outcome.status.IsOk()) {
    m_dialogs.ShowMessage(m_dialogParent, kTitle,
                          QStringLiteral("Could not upgrade %1:\n%2\nThe file is left as it was.")
                              .arg(path, QString::fromStdString(outcome.status.Message())),
                          MessageIcon::kExclamation);
  }
  m_reader.Open(name, OpenMode::kReadWrite);
}

}  // namespace lv
