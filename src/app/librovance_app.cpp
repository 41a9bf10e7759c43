#include "app/librovance_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "app/main_frame.h"
#include "docview/qt/librovance_doc.h"
#include "docview/qt/librovance_view.h"
#include "docview/qt/subject_list_view.h"

namespace lv {

CLibrovanceApp::CLibrovanceApp(Options options) {
  if (options.settingsFile.isEmpty()) {
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Varnoth"), QStringLiteral("Librovance"));
  } else {
    m_settings = std::make_unique<QSettings>(options.settingsFile, QSettings::IniFormat);
  }
  if (options.dialogs != nullptr) {
    m_dialogs = options.dialogs;
  } else {
    m_ownDialogs = std::make_unique<QtUserDialogs>();
    m_dialogs = m_ownDialogs.get();
  }
  m_programDir = options.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : options.programDir;
}

CLibrovanceApp::~CLibrovanceApp() = default;

QString CLibrovanceApp::CommandLinePath(const QStringList& arguments) {
  QString text = arguments.mid(1).join(QLatin1Char(' ')).trimmed();
  if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'))) {
    text = text.mid(1, text.size() - 2);
  }
  return text;
}

bool CLibrovanceApp::InitInstance(const QStringList& arguments) {
  m_recentFiles.Load(*m_settings);
  const QString heldBack = CommandLinePath(arguments);
  m_openOnStart = !heldBack.isEmpty();

  m_document = std::make_unique<CLibrovanceDoc>(*this);
  m_document->OnNewDocument();
  m_frame = std::make_unique<CMainFrame>(*this);
  if (!m_frame->Create()) {
    m_frame.reset();
    return false;
  }
  m_frame->show();
  m_frame->EntryView()->OnInitialUpdate();
  m_frame->SubjectList()->Reset();
  m_started = true;

  if (m_openOnStart) {
    m_openOnStart = false;
    OpenDocumentFile(heldBack);
  } else if (m_frame->Settings().loadLastFile == 1 && !m_frame->Settings().lastTome.isEmpty()) {
    OpenDocumentFile(m_frame->Settings().lastTome);
  }
  return true;
}

bool CLibrovanceApp::OpenDocumentFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  const bool opened = m_document->OnOpenDocument(absolute);
  if (opened) {
    m_document->SetPathName(m_document->OpenedPath());
    m_recentFiles.Add(m_document->PathName());
    m_frame->RebuildRecentFileMenu();
    // The entry view's update comes first, so that the list's reset shows the first entry.
    m_frame->EntryView()->OnInitialUpdate();
    m_frame->SubjectList()->Reset();
  }
  m_frame->UpdateTitle();
  return opened;
}

void CLibrovanceApp::SaveAtClose() {
  SettingsStore& settings = m_frame->Settings();
  settings.lastTome = m_document->PathName();
  settings.Save(*m_settings);
  m_recentFiles.Save(*m_settings);
  m_settings->sync();
}

}  // namespace lv
