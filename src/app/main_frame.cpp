#include "app/main_frame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "app/librovance_app.h"
#include "docview/qt/librovance_doc.h"
#include "docview/qt/librovance_view.h"
#include "docview/qt/subject_list_view.h"

namespace lv {
namespace {

const QString kReady = QStringLiteral("Ready");
constexpr int kDefaultSizeIndex = 2;  // "12"

}  // namespace

CMainFrame::CMainFrame(CLibrovanceApp& app)
    : m_app(app), m_clock([] { return QDateTime::currentSecsSinceEpoch(); }) {
  setObjectName(QStringLiteral("mainFrame"));
  // A roomy window that still fits a small screen.
  QSize size(1180, 760);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize available = screen->availableSize();
    size = size.boundedTo(QSize(available.width() * 9 / 10, available.height() * 9 / 10));
  }
  resize(size);
}

CMainFrame::~CMainFrame() = default;

std::pair<int, int> CMainFrame::PaneWidths(int clientWidth) {
  return {clientWidth / 4, clientWidth - clientWidth / 4};
}

bool CMainFrame::Create() {
  CreatePanes();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateFontBar();
  CreateQuickFindBar();
  // The bars stand in one row: tool bar, quick-find bar, font bar.
  addToolBar(Qt::TopToolBarArea, m_toolBar);
  addToolBar(Qt::TopToolBarArea, m_quickFindBar);
  addToolBar(Qt::TopToolBarArea, m_fontBar);
  CreateStatusBar();
  m_settings.Load(m_app.Settings());
  FillFontBar();
  ApplyFont();
  UpdateTitle();
  setAcceptDrops(true);
  return m_subjectList != nullptr && m_entryView != nullptr;
}

void CMainFrame::CreatePanes() {
  m_splitter = new QSplitter(Qt::Horizontal, this);
  m_splitter->setObjectName(QStringLiteral("splitter"));
  m_subjectList = new CLibrovanceSubjectListView(m_app, m_splitter);
  m_entryView = new CLibrovanceView(m_app, m_splitter);
  m_splitter->addWidget(m_subjectList);
  m_splitter->addWidget(m_entryView);
  m_splitter->setChildrenCollapsible(false);
  setCentralWidget(m_splitter);
  const auto [listWidth, viewWidth] = PaneWidths(width());
  m_splitter->setSizes({listWidth, viewWidth});
}

void CMainFrame::CreateQuickFindBar() {
  m_quickFindBar = new QToolBar(QStringLiteral("Quick Find"), this);
  m_quickFindBar->setObjectName(QStringLiteral("quickFindBar"));
  m_quickFindBar->addWidget(new QLabel(QStringLiteral("Quick Find:"), m_quickFindBar));
  m_quickFindEdit = new QLineEdit(m_quickFindBar);
  m_quickFindEdit->setObjectName(QStringLiteral("quickFindEdit"));
  m_quickFindEdit->setMinimumWidth(160);
  m_quickFindEdit->setEnabled(false);
  m_quickFindBar->addWidget(m_quickFindEdit);
  connect(m_quickFindEdit, &QLineEdit::textChanged, this, &CMainFrame::OnQuickFindTextChanged);
}

void CMainFrame::CreateFontBar() {
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

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // Prompts of highlighted commands come and go; between them the bar says "Ready".
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
    if (message.isEmpty()) bar->showMessage(kReady);
  });
  bar->showMessage(kReady);
}

void CMainFrame::ShowTransientStatus(const QString& text) { statusBar()->showMessage(text, 8000); }

void CMainFrame::FillFontBar() {
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  families.removeDuplicates();
  m_fontCombo->addItems(families);
  int face = -1;
  for (int i = 0; i < families.size() && face < 0; ++i) {
    if (families[i].startsWith(m_settings.fontType, Qt::CaseInsensitive)) face = i;
  }
  if (face < 0) face = m_fontCombo->findText(QFontInfo(QFont(m_settings.fontType)).family());
  if (face < 0) face = m_fontCombo->findText(QFontInfo(QFont(QStringLiteral("Arial"))).family());
  m_fontCombo->setCurrentIndex(face < 0 ? 0 : face);

  // The size is searched from the second item on, wrapping to the first.
  int size = -1;
  const int count = m_sizeCombo->count();
  for (int step = 0; step < count && size < 0; ++step) {
    const int i = (1 + step) % count;
    if (!m_settings.fontSize.isEmpty() && m_sizeCombo->itemText(i).startsWith(m_settings.fontSize)) size = i;
  }
  m_sizeCombo->setCurrentIndex(size < 0 ? kDefaultSizeIndex : size);

  connect(m_fontCombo, &QComboBox::currentIndexChanged, this, &CMainFrame::ApplyFont);
  connect(m_sizeCombo, &QComboBox::currentIndexChanged, this, &CMainFrame::ApplyFont);
}

void CMainFrame::ApplyFont() {
  int sizeIndex = m_sizeCombo->currentIndex();
  if (sizeIndex < 0) sizeIndex = kDefaultSizeIndex;
  QString face = m_fontCombo->currentText();
  if (face.isEmpty()) face = QStringLiteral("Arial");

  m_listFont = QFont(face);
  m_listFont.setPixelSize(kFontSizes[sizeIndex] + 4);
  m_subjectList->ApplyListFont(m_listFont);

  m_settings.fontType = face;
  m_settings.fontSize = QString::number(kFontSizes[sizeIndex]);
  CLibrovanceDoc& document = m_app.Document();
  document.SetEntryPageFontSize(sizeIndex + 1);
  document.SetPlainPageFont(sizeIndex + 1, face);
  document.RefreshPage();
}

void CMainFrame::EnableQuickFind(bool enable) { m_quickFindEdit->setEnabled(enable); }

void CMainFrame::EnableBookmarksMenu(bool enable) { m_bookmarksMenu->setEnabled(enable); }

void CMainFrame::UpdateTitle() {
  setWindowTitle(m_app.Document().Title() + QStringLiteral(" - Librovance"));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_app.SaveAtClose();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) m_app.OpenDocumentFile(url.toLocalFile());
  }
  event->acceptProposedAction();
}

}  // namespace lv
