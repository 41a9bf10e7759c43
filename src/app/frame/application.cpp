#include "app/frame/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app/dialogs/qt_user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/main_window.h"
#include "app/platform/termination_signals.h"
#include "queue/hotsync_folder.h"

namespace lv {

Application::Application(Options options) {
  if (options.settingsFile.isEmpty()) {
    m_storage = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnoth"),
                                            QStringLiteral("Librovance"));
  } else {
    m_storage = std::make_unique<QSettings>(options.settingsFile, QSettings::IniFormat);
  }
  if (options.dialogs != nullptr) {
    m_dialogs = options.dialogs;
  } else {
    m_ownDialogs = std::make_unique<QtUserDialogs>();
    m_dialogs = m_ownDialogs.get();
  }
  m_programDir = options.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : options.programDir;
}

Application::~Application() {
  // The window's panes hold the document's reader: the window goes first.
  m_window.reset();
  m_document.reset();
}

QString Application::CommandLinePath(const QStringList& arguments) {
  const qsizetype first = arguments.value(1) == QStringLiteral("--") ? 2 : 1;
  QString text = arguments.mid(first).join(QLatin1Char(' ')).trimmed();
  if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'))) {
    text = text.mid(1, text.size() - 2);
  }
  return text;
}

void Application::UpdatePageSettings() {
  const int entryFontSize = m_pageSettings.entryFontSize;
  m_pageSettings = PageSettingsFrom(m_settings);
  m_pageSettings.entryFontSize = entryFontSize;
}

bool Application::Start(const QStringList& arguments) {
  PageFolder::RemoveAbandoned();
  m_recentFiles.Load(*m_storage);
  m_settings.Load(*m_storage);
  UpdatePageSettings();
  const QString heldBack = CommandLinePath(arguments);

  m_hotSyncFolder =
      m_settings.hotSyncPath.isEmpty() ? QFile::decodeName(DefaultHotSyncFolder().c_str()) : m_settings.hotSyncPath;
  m_hotSyncQueue = std::make_unique<lv::HotSyncFolder>(QFile::encodeName(m_hotSyncFolder).toStdString());
  m_document = std::make_unique<Document>(*m_dialogs, m_pages, m_pageSettings);
  m_document->SetInstallQueue(m_hotSyncQueue.get(), m_hotSyncFolder);
  m_window = std::make_unique<MainWindow>(*this);
  if (!m_window->Create()) {
    m_window.reset();
    return false;
  }
  m_document->SetDialogParent(m_window.get());
  m_window->show();
  m_window->ShowOpenedDocument();
  if (!m_pages.IsValid()) {
    m_dialogs->ShowMessage(m_window.get(), QStringLiteral("Librovance"),
                           QStringLiteral("Cannot create a private folder for pages:\n%1\nEntries and text "
                                          "files cannot be shown.")
                               .arg(m_pages.ErrorString()),
                           MessageIcon::kExclamation);
  }

  if (!heldBack.isEmpty()) {
    OpenFile(heldBack);
  } else if (m_settings.loadLastFile == 1 && !m_settings.lastTome.isEmpty()) {
    OpenFile(m_settings.lastTome);
  }
  return true;
}

bool Application::OpenFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  const bool opened = m_document->Open(absolute);
  if (opened) {
    m_document->SetPath(m_document->OpenedPath());
    m_recentFiles.Add(m_document->Path());
    m_window->RebuildRecentFileMenu();
    m_window->StartNewHistory();
    m_window->ShowOpenedDocument();
  }
  m_window->UpdateTitle();
  return opened;
}

void Application::CloseOnTerminationSignals() {
  m_terminationSignals = std::make_unique<TerminationSignals>();
  connect(m_terminationSignals.get(), &TerminationSignals::received, this, [] {
    // Open dialogs are closed with the main window, so that their own event loops end too.
    QApplication::closeAllWindows();
  });
}

void Application::SaveAtClose() {
  m_settings.lastTome = m_document->Path();
  m_settings.Save(*m_storage);
  m_recentFiles.Save(*m_storage);
  m_storage->sync();
}

}  // namespace lv
