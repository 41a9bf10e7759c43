#include "app/platform/page_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace lv {
namespace {

// The temporary folder is empty when $TMPDIR names no folder: the page folder is then never made
// relative to the root.
QString ParentOrTemp(const QString& parent) { return parent.isEmpty() ? QDir::tempPath() : parent; }

// Whether the process pid still runs (or runs under another user, which kill may not signal).
bool ProcessRuns(qint64 pid) {
  if (pid <= 0 || pid != static_cast<pid_t>(pid)) return true;  // not a process id: leave it alone
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

}  // namespace

PageFolder::PageFolder(const QString& parent) : m_parent(ParentOrTemp(parent)) {
  if (m_parent.isEmpty() || !QFileInfo(m_parent).isDir()) return;
  m_dir = std::make_unique<QTemporaryDir>(m_parent + QStringLiteral("/librovance-%1-XXXXXX").arg(::getpid()));
  if (m_dir->isValid()) {
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

PageFolder::~PageFolder() = default;

QString PageFolder::ErrorString() const {
  if (m_dir) return m_dir->errorString();
  return m_parent.isEmpty() ? QStringLiteral("the temporary folder ($TMPDIR) does not exist")
                            : QStringLiteral("%1 is not a folder").arg(m_parent);
}

// The file is overwritten and then cut to length rather than truncated to zero first: on ext4 a
// truncate to zero followed by a rewrite forces a flush to disk at close, which costs milliseconds on
// every page shown.
QString PageFolder::WritePage(std::string_view page) const {
  if (!IsValid()) return QStringLiteral("there is no folder for pages: %1").arg(ErrorString());
  QFile file(PageFilePath());
  if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return file.errorString();
  const auto size = static_cast<qint64>(page.size());
  if (file.write(page.data(), size) != size || !file.resize(size)) return file.errorString();
  return QString();
}

void PageFolder::RemoveAbandoned(const QString& parent) {
  static const QRegularExpression name(QStringLiteral("^librovance-(\\d+)-[A-Za-z0-9]{6}$"));
  const QString parentPath = ParentOrTemp(parent);
  if (parentPath.isEmpty()) return;
  const QDir folder(parentPath);
  const QFileInfoList candidates =
      folder.entryInfoList({QStringLiteral("librovance-*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
  for (const QFileInfo& candidate : candidates) {
    const QRegularExpressionMatch match = name.match(candidate.fileName());
    if (!match.hasMatch() || candidate.ownerId() != ::getuid()) continue;
    const qint64 pid = match.captured(1).toLongLong();
    if (pid == ::getpid() || ProcessRuns(pid)) continue;
    QDir(candidate.absoluteFilePath()).removeRecursively();
  }
}

}  // namespace lv
