#include "app/frame/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/quick_find_bar.h"
#include "app/platform/font_families.h"
#include "app/platform/help_paths.h"
#include "app/views/entry_view.h"
#include "app/views/subject_list_view.h"

namespace lv {
namespace {

const QString kReady = QStringLiteral("Ready");
constexpr int kDefaultSizeIndex = 2;  // "12"

// The subject list takes a quarter of the width, the entry view the rest.
std::pair<int, int> PaneWidths(int clientWidth) { return {clientWidth / 4, clientWidth - clientWidth / 4}; }

}  // namespace

MainWindow::MainWindow(Application& app) : m_app(app), m_document(app.CurrentDocument()) {
  setObjectName(QStringLiteral("mainFrame"));
  // A roomy window that still fits a small screen.
  QSize size(1180, 760);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize available = screen->availableSize();
    size = size.boundedTo(QSize(available.width() * 9 / 10, available.height() * 9 / 10));
  }
  resize(size);
}

MainWindow::~MainWindow() = default;

bool MainWindow::Create() {
  CreatePanes();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateFontBar();
  m_quickFindBar = new lv::QuickFindBar(m_document.Reader(), this);
  m_quickFindBar->SetDelay(m_app.Settings().quickFindDelay);
  // The bars stand in one row: tool bar, quick-find bar, font bar.
  addToolBar(Qt::TopToolBarArea, m_toolBar);
  addToolBar(Qt::TopToolBarArea, m_quickFindBar);
  addToolBar(Qt::TopToolBarArea, m_fontBar);
  CreateStatusBar();
  ConnectPanes();
  ConnectDocument();
  ConnectSearch();
  m_entryView->SetStartPagePath(HelpStartupPath(m_app.Settings().helpPath, m_app.ProgramDir()));
  FillFontBar();
  ApplyFont();
  RebuildFavouritesMenu();
  UpdateTitle();
  UpdateHistoryActions();
  setAcceptDrops(true);
  return m_subjectList != nullptr && m_entryView != nullptr;
}

void MainWindow::CreatePanes() {
  m_splitter = new QSplitter(Qt::Horizontal, this);
  m_splitter->setObjectName(QStringLiteral("splitter"));
  m_subjectList = new SubjectListView(m_document.Reader(), m_app.CurrentPageSettings(), m_splitter);
  m_entryView =
      new lv::EntryView(m_document.Reader(), m_app.CurrentPageSettings(), m_app.Pages(), m_app.Dialogs(), m_splitter);
  m_splitter->addWidget(m_subjectList);
  m_splitter->addWidget(m_entryView);
  m_splitter->setChildrenCollapsible(false);
  setCentralWidget(m_splitter);
  const auto [listWidth, viewWidth] = PaneWidths(width());
  m_splitter->setSizes({listWidth, viewWidth});
}

// A subject chosen anywhere is shown by the entry view; every entry shown is marked in the list and
// recorded in the history.
void MainWindow::ConnectPanes() {
  connect(m_subjectList, &SubjectListView::subjectActivated, m_entryView,
          [this](int subject) { m_entryView->ShowSubject(subject); });
  connect(m_quickFindBar, &QuickFindBar::subjectFound, m_entryView,
          [this](int subject) { m_entryView->ShowSubject(subject); });
  connect(m_entryView, &EntryView::subjectShown, this, [this](int subject) {
    m_subjectList->SelectSubject(subject);
    m_history.Record(subject);
    UpdateHistoryActions();
  });
  connect(m_subjectList, &SubjectListView::quickFindKey, m_quickFindBar, &QuickFindBar::TypeCharacter);
  connect(m_entryView, &EntryView::quickFindKey, m_quickFindBar, &QuickFindBar::TypeCharacter);
  connect(m_entryView, &EntryView::linkHovered, this, [this](const QString& target) {
    if (target.isEmpty()) {
      statusBar()->clearMessage();
    } else {
      statusBar()->showMessage(target);
    }
  });
}

void MainWindow::ConnectDocument() {
  connect(&m_document, &Document::tomeInUseChanged, this, [this](bool inUse) {
    m_bookmarksMenu->setEnabled(inUse);
    m_quickFindBar->SetSearchEnabled(inUse);
  });
  connect(&m_document, &Document::tomeClosed, m_subjectList, &SubjectListView::Clear);
  connect(&m_document, &Document::tomeOpenFailed, this, [this] {
    m_subjectList->Clear();
    StartNewHistory();
    m_entryView->ShowStartPage();
  });
  connect(&m_document, &Document::textPageWritten, m_entryView,
          [this](const QByteArray& page, bool atFindMark) { m_entryView->ShowPage(page, atFindMark); });
}

void MainWindow::ShowOpenedDocument() {
  const DocumentKind kind = m_document.Kind();
  if (kind != DocumentKind::kPalmDoc && kind != DocumentKind::kTextFile) m_entryView->ShowStartPage();
  m_subjectList->Reset(kind != DocumentKind::kNothing);
  if (kind == DocumentKind::kTome) m_entryView->ShowSubject(0);
  RebuildBookmarksMenu();
}

void MainWindow::RefreshPage() {
  switch (m_document.Kind()) {
    case DocumentKind::kTome:
      if (m_document.IsTomeOpen()) m_entryView->ShowSubject(std::max(0, m_subjectList->SelectionMark()));
      break;
    case DocumentKind::kTextFile:
    case DocumentKind::kPalmDoc: m_document.RefreshTextPage(); break;
    case DocumentKind::kNothing: break;
  }
}

void MainWindow::CreateFontBar() {
  m_fontBar = new QToolBar(QStringLiteral("Font"), this);
  m_fontBar->setObjectName(QStringLiteral("fontBar"));
  m_fontBar->addWidget(new QLabel(QStringLiteral("Font:"), m_fontBar));
  m_fontCombo = new QComboBox(m_fontBar);
  m_fontCombo->setObjectName(QStringLiteral("fontCombo"));
  m_fontCombo->setMinimumContentsLength(16);
  m_fontBar->addWidget(m_fontCombo);
  auto* sizeLabel = new QLabel(QStringLiteral("Size:"), m_fontBar);
  sizeLabel->setContentsMargins(6, 0, 0, 0);  // a little room after the face list
  m_fontBar->addWidget(sizeLabel);
  m_sizeCombo = new QComboBox(m_fontBar);
  m_sizeCombo->setObjectName(QStringLiteral("sizeCombo"));
  for (int size : kFontSizes) m_sizeCombo->addItem(QString::number(size));
  m_fontBar->addWidget(m_sizeCombo);
}

void MainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // Prompts of highlighted commands come and go; between them the bar says "Ready".
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
    if (message.isEmpty()) bar->showMessage(kReady);
  });
  bar->showMessage(kReady);
}

void MainWindow::ShowTransientStatus(const QString& text) { statusBar()->showMessage(text, 8000); }

void MainWindow::FillFontBar() {
  const SettingsStore& settings = m_app.Settings();
  const QStringList families = DistinctFontFamilies(QFontDatabase::families());
  m_fontCombo->addItems(families);
  int face = -1;
  for (int i = 0; i < families.size() && face < 0; ++i) {
    if (families[i].startsWith(settings.fontType, Qt::CaseInsensitive)) face = i;
  }
  if (face < 0) face = m_fontCombo->findText(QFontInfo(QFont(settings.fontType)).family());
  if (face < 0) face = m_fontCombo->findText(QFontInfo(QFont(QStringLiteral("Arial"))).family());
  m_fontCombo->setCurrentIndex(face < 0 ? 0 : face);

  // The size is searched from the second item on, wrapping to the first.
  int size = -1;
  const int count = m_sizeCombo->count();
  for (int step = 0; step < count && size < 0; ++step) {
    const int i = (1 + step) % count;
    if (!settings.fontSize.isEmpty() && m_sizeCombo->itemText(i).startsWith(settings.fontSize)) size = i;
  }
  m_sizeCombo->setCurrentIndex(size < 0 ? kDefaultSizeIndex : size);

  connect(m_fontCombo, &QComboBox::currentIndexChanged, this, &MainWindow::ApplyFont);
  connect(m_sizeCombo, &QComboBox::currentIndexChanged, this, &MainWindow::ApplyFont);
}

void MainWindow::ApplyFont() {
  int sizeIndex = m_sizeCombo->currentIndex();
  if (sizeIndex < 0) sizeIndex = kDefaultSizeIndex;
  QString face = m_fontCombo->currentText();
  if (face.isEmpty()) face = QStringLiteral("Arial");

  m_listFont = QFont(face);
  m_listFont.setPixelSize(kFontSizes[sizeIndex] + 4);
  m_subjectList->ApplyListFont(m_listFont);

  SettingsStore& settings = m_app.Settings();
  settings.fontType = face;
  settings.fontSize = QString::number(kFontSizes[sizeIndex]);
  m_app.SetEntryFontSize(sizeIndex + 1);
  m_app.UpdatePageSettings();
  m_document.SetPlainPageFont(sizeIndex + 1, face);
  RefreshPage();
}

void MainWindow::UpdateTitle() { setWindowTitle(m_document.Title() + QStringLiteral(" - Librovance")); }

void MainWindow::closeEvent(QCloseEvent* event) {
  m_app.SaveAtClose();
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) m_app.OpenFile(url.toLocalFile());
  }
  event->acceptProposedAction();
}

}  // namespace lv
