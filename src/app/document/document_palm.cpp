// The document's Palm databases: a PalmDOC is shown as a page (document_palmdoc.cpp), a Palm tome is
// refused with a pointer to its original tome, the database of another Palm application is offered
// for installation on the handheld, and anything else is of an unknown format.
#include <QFile>

#include "app/dialogs/palm_install.h"
#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/platform/windows1252_text.h"
#include "palm/palm_applications.h"
#include "palm/palm_tome_writer.h"
#include "palm/palmdoc_reader.h"

namespace lv {
namespace {

// A public collection of Palm documents, where the tome of a Palm tome is likely to be found.
constexpr const char* kPalmDocumentCollection = "https://www.memoware.com";

}  // namespace

bool Document::OpenPalmDatabase(const QString& path) {
  const QString caption = QStringLiteral("Librovance");
  const Status opened = m_palmDoc.Open(QFile::encodeName(path).toStdString());
  if (opened.IsOk()) return ShowOpenedPalmDoc(path);
  // The reader let go of the text on display, if any: it is read again, after the codes it found.
  const std::string type = m_palmDoc.LastType();
  const std::string creator = m_palmDoc.LastCreator();
  RestoreShownPalmDoc();
  if (opened.Code() == StatusCode::kIoError) {
    m_dialogs.ShowMessage(m_dialogParent, caption, QStringLiteral("Cannot open %1").arg(path), MessageIcon::kStop);
    return false;
  }
  if (type == kPalmTomeType && creator == kPalmTomeCreator) {
    m_dialogs.ShowMessage(
        m_dialogParent, caption,
        QStringLiteral("This is a Librovance Palm file intended just for viewing with Librovance "
                       "Palm.\nPlease open the original Librovance file (*.lv) in Librovance Windows. "
                       "If you don't have it then it is probably on %1")
            .arg(QString::fromLatin1(kPalmDocumentCollection)),
        MessageIcon::kStop);
    return false;
  }
  const std::string application = PalmApplicationName(type, creator);
  if (QString::fromStdString(application).compare(QStringLiteral("Unknown"), Qt::CaseInsensitive) == 0) {
    m_dialogs.ShowMessage(m_dialogParent, caption, QStringLiteral("This file is of an unknown format."),
                          MessageIcon::kStop);
    return false;
  }
  const QString question =
      QStringLiteral(
          "This Palm Database file is in %1 format. Librovance Windows cannot read this file.\nWould you like "
          "Librovance to HotSync this file to your Palm where the appropriate reader should be able to "
          "read it?")
          .arg(DecodeWindows1252(application));
  if (m_dialogs.AskYesNo(m_dialogParent, caption, question, MessageIcon::kStop) && m_installQueue) {
    InstallPalmDatabase(m_dialogs, m_dialogParent, HotSyncTarget{*m_installQueue, m_hotSyncFolder}, path);
  }
  return false;
}

}  // namespace lv
