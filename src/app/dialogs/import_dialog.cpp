#include "app/dialogs/import_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>

#include "app/platform/windows1252_text.h"

namespace lv {
namespace {

// How often the status line and the progress bar catch up with the worker.
constexpr int kProgressIntervalMs = 50;

QString StageText(ImportStage stage) {
  switch (stage) {
    case ImportStage::kSorting: return QStringLiteral("Sorting file.....");
    case ImportStage::kPreparing: return QStringLiteral("Preparing to import.....");
    case ImportStage::kImporting: return QStringLiteral("Importing.....");
    case ImportStage::kSaving: return QStringLiteral("Saving Tome.....");
    case ImportStage::kIdle: break;
  }
  return QString();
}

// A failure's message as a sentence of its own.
QString Sentence(const Status& status) {
  QString text = QString::fromLocal8Bit(status.Message().c_str());
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}

QPushButton* BrowseButton(QWidget* parent) {
  auto* button = new QPushButton(QStringLiteral("Browse"), parent);
  button->setIcon(QIcon(QStringLiteral(":/icons/open.png")));
  button->setIconSize(QSize(16, 16));
  return button;
}

QLineEdit* PathEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setMinimumWidth(320);
  return edit;
}

}  // namespace

const std::vector<SourceFilter>& ImportDialog::SourceFilters() {
  static const std::vector<SourceFilter> filters = [] {
    std::vector<SourceFilter> list = {
        {QStringLiteral("Tagged Text Files (*.txt)"), SourceFormat::kTagged},
        {QStringLiteral("Tab Separated Files (*.tab)"), SourceFormat::kTab},
    };
    const DictionaryKind kinds[] = {DictionaryKind::kDictd, DictionaryKind::kStarDict};
    static_assert(std::size(kinds) == std::size(kDictionaryFilters));
    for (size_t i = 0; i < std::size(kinds); ++i) {
      const std::string_view caption = kDictionaryFilters[i].caption;
      list.push_back({QString::fromUtf8(caption.data(), qsizetype(caption.size())), SourceFormat::kTagged, kinds[i]});
    }
    return list;
  }();
  return filters;
}

QString ImportDialog::ProposedTomePath(const QString& sourcePath) {
  const QString name = QFileInfo(sourcePath).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const qsizetype end = sourcePath.size() - (dot < 0 ? 0 : name.size() - dot);
  return sourcePath.left(end) + QStringLiteral(".lv");
}

ImportDialog::ImportDialog(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
  setWindowTitle(QStringLiteral("Import "));
  m_selectedFilter = SourceFilters().front().text;
  BuildControls();
  m_progressTimer.setInterval(kProgressIntervalMs);
  connect(&m_progressTimer, &QTimer::timeout, this, &ImportDialog::ShowProgress);
  connect(&m_worker, &ImportWorker::stageChanged, this,
          [this](ImportStage stage) { m_statusLine->setText(StageText(stage)); });
  connect(&m_worker, &ImportWorker::finished, this, &ImportDialog::FinishImport);
}

void ImportDialog::BuildControls() {
  m_sourceEdit = PathEdit(this);
  m_sourceEdit->setObjectName(QStringLiteral("sourceEdit"));
  m_tomeEdit = PathEdit(this);
  m_tomeEdit->setObjectName(QStringLiteral("tomeEdit"));
  m_sourceBrowse = BrowseButton(this);
  m_sourceBrowse->setObjectName(QStringLiteral("sourceBrowse"));
  m_tomeBrowse = BrowseButton(this);
  m_tomeBrowse->setObjectName(QStringLiteral("tomeBrowse"));
  m_sortBox = new QCheckBox(QStringLiteral("Sort File"), this);
  m_sortBox->setObjectName(QStringLiteral("sortBox"));
  m_sortBox->setEnabled(false);
  m_statusLine = new QLineEdit(this);
  m_statusLine->setObjectName(QStringLiteral("statusLine"));
  m_statusLine->setReadOnly(true);
  m_statusLine->setFrame(false);
  m_progressBar = new QProgressBar(this);
  m_progressBar->setObjectName(QStringLiteral("progressBar"));
  m_progressBar->setTextVisible(false);
  m_progressBar->setRange(0, 1);
  m_progressBar->setValue(0);

  auto* buttons = new QDialogButtonBox(this);
  m_importButton = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
  m_importButton->setObjectName(QStringLiteral("importButton"));
  m_importButton->setDefault(true);
  m_cancelButton = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  m_cancelButton->setObjectName(QStringLiteral("cancelButton"));

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Input File"), this), 0, 0);
  grid->addWidget(m_sourceEdit, 0, 1);
  grid->addWidget(m_sourceBrowse, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Output File"), this), 1, 0);
  grid->addWidget(m_tomeEdit, 1, 1);
  grid->addWidget(m_tomeBrowse, 1, 2);
  grid->addWidget(m_sortBox, 2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(m_statusLine);
  layout->addWidget(m_progressBar);
  layout->addWidget(buttons);

  connect(m_sourceBrowse, &QPushButton::clicked, this, &ImportDialog::ChooseSource);
  connect(m_tomeBrowse, &QPushButton::clicked, this, &ImportDialog::ChooseTome);
  connect(m_importButton, &QPushButton::clicked, this, &ImportDialog::StartImport);
  connect(m_cancelButton, &QPushButton::clicked, this, &ImportDialog::reject);
}

QString ImportDialog::SourcePath() const { return m_sourceEdit->text(); }
QString ImportDialog::TomePath() const { return m_tomeEdit->text(); }
QString ImportDialog::StatusText() const { return m_statusLine->text(); }

void ImportDialog::Preset(const ImportChoice& preset) {
  m_sourceEdit->setText(preset.sourcePath);
  m_tomeEdit->setText(preset.tomePath);
  const std::string path = QFile::encodeName(preset.sourcePath).toStdString();
  SetKind(SourceFormatFromPath(path), DictionaryKindFromPath(path));
  m_sortBox->setChecked(preset.sortFile);
  m_presetPending = true;
}

void ImportDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_presetPending) return;
  m_presetPending = false;
  // Unless the dialog was closed before its first turn of the event loop.
  QTimer::singleShot(0, this, [this] {
    if (isVisible()) StartImport();
  });
}

void ImportDialog::SetKind(SourceFormat format, DictionaryKind dictionary) {
  m_format = format;
  m_dictionary = dictionary;
  m_sortBox->setEnabled(IsSortable(format, dictionary));
}

void ImportDialog::ChooseSource() {
  QStringList texts;
  for (const SourceFilter& filter : SourceFilters()) texts.append(filter.text);
  QString selected = m_selectedFilter;
  const QString path = m_dialogs.ChooseFileToOpenFiltered(this, texts.join(QStringLiteral(";;")), selected);
  if (path.isEmpty()) return;
  m_selectedFilter = selected;
  m_sourceEdit->setText(path);
  m_tomeEdit->setText(ProposedTomePath(path));
  const SourceFilter* chosen = &SourceFilters().front();
  for (const SourceFilter& filter : SourceFilters()) {
    if (filter.text == selected) chosen = &filter;
  }
  SetKind(chosen->format, chosen->dictionary);
}

void ImportDialog::ChooseTome() {
  const QString path =
      m_dialogs.ChooseFileToSave(this, TomePath(), QStringLiteral("Librovance File (*.lv)"), QStringLiteral("lv"));
  if (!path.isEmpty()) m_tomeEdit->setText(path);
}

void ImportDialog::SetBusy(bool busy) {
  for (QWidget* control : {static_cast<QWidget*>(m_sourceBrowse), static_cast<QWidget*>(m_tomeBrowse),
                           static_cast<QWidget*>(m_importButton)}) {
    control->setEnabled(!busy);
  }
  m_sortBox->setEnabled(!busy && IsSortable(m_format, m_dictionary));
  if (busy) {
    setCursor(Qt::BusyCursor);
    m_progressTimer.start();
  } else {
    unsetCursor();
    m_progressTimer.stop();
  }
}

void ImportDialog::StartImport() {
  if (m_worker.IsRunning()) return;
  ImportWorker::Request request;
  request.sourcePath = QFile::encodeName(SourcePath()).toStdString();
  request.tomePath = QFile::encodeName(TomePath()).toStdString();
  request.format = m_format;
  request.dictionary = m_dictionary;
  request.sortFirst = IsSortable(m_format, m_dictionary) && m_sortBox->isChecked();
  m_sorting = request.sortFirst;
  m_progressBar->setRange(0, 1);
  m_progressBar->setValue(0);
  m_worker.Start(std::move(request));
  SetBusy(true);
}

// The bar follows the offset in the source; sizes beyond the bar's int range are scaled down.
void ImportDialog::ShowProgress() {
  const int64_t high = m_worker.RangeHigh();
  const int64_t scale = high / INT_MAX + 1;
  m_progressBar->setRange(0, static_cast<int>(high / scale));
  m_progressBar->setValue(static_cast<int>(std::min(m_worker.Position(), high) / scale));
}

void ImportDialog::FinishImport() {
  ShowProgress();
  SetBusy(false);
  const ImportOutcome& outcome = m_worker.Outcome();
  if (outcome.status.IsOk()) {
    ImportReport report;
    report.choice = {SourcePath(), TomePath(), m_sorting};
    report.outcome = outcome;
    emit imported(report);
    ShowResults(m_worker.Results());
    accept();
    return;
  }
  if (m_closeWhenStopped || outcome.status.IsCancelled()) {
    QDialog::reject();
    return;
  }
  ReportFailure(outcome.status, m_worker.LastStage());
}

// A source or tome that cannot be opened is named in the status line, and the dialog stays open for
// other files; a failure later on (reading the source, writing the tome) is also reported in a box.
void ImportDialog::ReportFailure(const Status& status, ImportStage reached) {
  m_statusLine->setText(Sentence(status));
  m_statusLine->setCursorPosition(0);
  if (reached == ImportStage::kImporting || reached == ImportStage::kSaving) {
    m_dialogs.ShowMessage(this, QStringLiteral("Librovance"),
                          QStringLiteral("The import failed; no tome was written.\n%1").arg(Sentence(status)),
                          MessageIcon::kExclamation);
  }
}

void ImportDialog::ShowResults(const ImportResults& results) {
  m_dialogs.ShowMessage(this, QStringLiteral("Import results"), DecodeWindows1252(results.text),
                        results.noted ? MessageIcon::kExclamation : MessageIcon::kNone);
}

void ImportDialog::reject() {
  if (!m_worker.IsRunning()) {
    QDialog::reject();
    return;
  }
  m_closeWhenStopped = true;
  m_cancelButton->setEnabled(false);
  m_worker.Cancel();
}

}  // namespace lv
