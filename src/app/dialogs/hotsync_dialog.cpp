#include "app/dialogs/hotsync_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs/export_worker.h"
#include "app/dialogs/palm_install.h"
#include "app/dialogs/user_dialogs.h"
#include "app/platform/page_folder.h"
#include "app/platform/settings_store.h"
#include "app/platform/windows1252_text.h"
#include "palm/search_index.h"

namespace lv {
namespace {

constexpr int kNewFormatIndex = 1;
constexpr int kDefaultAccelerationIndex = 2;

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

HotSyncDialog::HotSyncDialog(const HotSyncSource& source, UserDialogs& dialogs, SettingsStore& settings,
                             const PageFolder& pages, const HotSyncTarget& target, QWidget* parent)
    : QDialog(parent),
      m_source(source),
      m_dialogs(dialogs),
      m_settings(settings),
      m_pages(pages),
      m_target(target),
      m_worker(new ExportWorker(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(QStringLiteral("HotSync To PalmOS..."));
  CreateControls();
  connect(m_worker, &ExportWorker::finished, this, &HotSyncDialog::FinishExport);
}

// The export must end before the progress bar it reports to goes.
HotSyncDialog::~HotSyncDialog() { m_worker->Wait(); }

void HotSyncDialog::CreateControls() {
  m_outputFile = new QLineEdit(this);
  m_outputFile->setObjectName(QStringLiteral("outputFile"));
  m_palmName = new QLineEdit(this);
  m_palmName->setObjectName(QStringLiteral("palmTomeName"));
  m_browse = new QToolButton(this);
  m_browse->setObjectName(QStringLiteral("browse"));
  m_browse->setIcon(QIcon(QStringLiteral(":/icons/open.png")));
  m_browse->setIconSize(QSize(16, 16));
  m_browse->setToolTip(QStringLiteral("Browse"));
  m_queueForHotSync = new QCheckBox(QStringLiteral("Queue for HotSync"), this);
  m_queueForHotSync->setObjectName(QStringLiteral("queueForHotSync"));
  m_queueForHotSync->setChecked(true);
  m_progress = new QProgressBar(this);
  m_progress->setObjectName(QStringLiteral("progress"));
  m_progress->setValue(0);
  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_ok->setDefault(true);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_advanced = new QPushButton(QStringLiteral("Advanced"), this);
  m_advanced->setObjectName(QStringLiteral("advanced"));

  m_advancedPart = new QWidget(this);
  m_format = new QComboBox(m_advancedPart);
  m_format->setObjectName(QStringLiteral("format"));
  m_format->addItems({QStringLiteral("Use old (2.5) file format"), QStringLiteral("Use new (2.8) file format")});
  m_acceleration = new QComboBox(m_advancedPart);
  m_acceleration->setObjectName(QStringLiteral("acceleration"));
  m_acceleration->addItems({QStringLiteral("None"), QStringLiteral("Low"), QStringLiteral("Default"),
                            QStringLiteral("Medium"), QStringLiteral("High")});
  m_acceleration->setCurrentIndex(kDefaultAccelerationIndex);
  m_acceleration->setEnabled(false);
  m_placeOnCard = new QCheckBox(QStringLiteral("Place on Expansion Card."), m_advancedPart);
  m_placeOnCard->setObjectName(QStringLiteral("placeOnCard"));
  auto* advancedLayout = new QGridLayout(m_advancedPart);
  advancedLayout->setContentsMargins(0, 0, 0, 0);
  advancedLayout->addWidget(m_format, 0, 0, 1, 2);
  advancedLayout->addWidget(new QLabel(QStringLiteral("Search Acceleration:"), m_advancedPart), 1, 0);
  advancedLayout->addWidget(m_acceleration, 1, 1);
  advancedLayout->addWidget(m_placeOnCard, 2, 0, 1, 2);
  m_advancedPart->hide();

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("Output File"), this), 0, 0);
  fields->addWidget(m_outputFile, 0, 1);
  fields->addWidget(m_browse, 0, 2);
  fields->addWidget(new QLabel(QStringLiteral("Palm Tome Name"), this), 1, 0);
  fields->addWidget(m_palmName, 1, 1, 1, 2);
  fields->addWidget(m_queueForHotSync, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_advanced);
  buttons->addStretch(1);
  buttons->addWidget(m_ok);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(fields);
  layout->addWidget(m_progress);
  layout->addLayout(buttons);
  layout->addWidget(m_advancedPart);

  connect(m_outputFile, &QLineEdit::textChanged, this, &HotSyncDialog::NameAfterOutputFile);
  connect(m_browse, &QToolButton::clicked, this, &HotSyncDialog::Browse);
  connect(m_advanced, &QPushButton::clicked, this, &HotSyncDialog::ToggleAdvanced);
  connect(m_format, &QComboBox::currentIndexChanged, this, &HotSyncDialog::ChooseFormat);
  connect(m_ok, &QPushButton::clicked, this, &HotSyncDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &HotSyncDialog::reject);
}

bool HotSyncDialog::Open() {
  switch (m_source.kind) {
    case HotSyncSource::Kind::kPalmDatabase:
      InstallPalmDatabase(m_dialogs, parentWidget(), m_target, m_source.path);
      break;
    case HotSyncSource::Kind::kTome:
    case HotSyncSource::Kind::kTextFile: {
      const QString title = m_source.title.section(QLatin1Char('.'), 0, 0);
      SetOutputFile(QDir(QDir::tempPath()).filePath(title + QStringLiteral(".pdb")));
      show();
      return true;
    }
    case HotSyncSource::Kind::kNothing:
      m_dialogs.ShowMessage(parentWidget(), QStringLiteral("Librovance"), QString::fromLatin1(kNothingToExportText),
                            MessageIcon::kStop);
      break;
  }
  deleteLater();
  return false;
}

bool HotSyncDialog::IsExporting() const { return m_worker->IsRunning(); }

void HotSyncDialog::SetOutputFile(const QString& path) {
  m_outputFile->setText(path);
  NameAfterOutputFile(path);
}

// The Palm tome name follows the output file: its name without folder and extension.
void HotSyncDialog::NameAfterOutputFile(const QString& path) {
  m_palmName->setText(QFileInfo(path).completeBaseName());
}

void HotSyncDialog::Browse() {
  const QString path = m_dialogs.ChooseFileToSave(this, m_outputFile->text(),
                                                  QStringLiteral("Palm OS Database (*.pdb)"), QStringLiteral("pdb"));
  if (!path.isEmpty()) SetOutputFile(path);
}

void HotSyncDialog::ToggleAdvanced() {
  const bool expand = m_advancedPart->isHidden();
  m_advancedPart->setVisible(expand);
  m_advanced->setText(expand ? QStringLiteral("Simple") : QStringLiteral("Advanced"));
}

void HotSyncDialog::ChooseFormat(int index) {
  const bool newFormat = index == kNewFormatIndex;
  if (newFormat && m_settings.showNewVersionDialog != 0) {
    m_settings.showNewVersionDialog = m_dialogs.ShowNewFormatNotice(this) ? 0 : 1;
  }
  m_acceleration->setEnabled(newFormat);
}

std::string HotSyncDialog::PalmName() const { return EncodeWindows1252(m_palmName->text()); }

void HotSyncDialog::accept() {
  if (IsExporting()) return;
  if (m_outputFile->text().isEmpty() || m_palmName->text().isEmpty() || m_source.path.isEmpty()) {
    m_dialogs.ShowMessage(this, QStringLiteral("Librovance"), QString::fromLatin1(kInvalidExportText),
                          MessageIcon::kExclamation);
    return;
  }
  HandheldExportRequest request;
  request.sourcePath = LocalPath(m_source.path);
  request.sourceIsText = m_source.kind == HotSyncSource::Kind::kTextFile;
  request.workFolder = LocalPath(m_pages.Path());
  request.outputPath = LocalPath(m_outputFile->text());
  request.palmName = PalmName();
  const bool newFormat = m_format->currentIndex() == kNewFormatIndex;
  request.format = newFormat ? PalmTomeFormat::kV28 : PalmTomeFormat::kV25;
  request.bitmapBits = newFormat ? 8 * kAccelerationBitmapBytes[m_acceleration->currentIndex()] : 0;
  SetBusy(true);
  m_worker->Start(request, m_progress);
}

void HotSyncDialog::SetBusy(bool busy) {
  for (QWidget* control : std::initializer_list<QWidget*>{m_outputFile, m_palmName, m_browse, m_queueForHotSync,
                                                          m_advanced, m_advancedPart, m_ok, m_cancel}) {
    control->setEnabled(!busy);
  }
  if (!busy) m_acceleration->setEnabled(m_format->currentIndex() == kNewFormatIndex);
}

// A failed export is reported with its cause and queues nothing; the window stays open for another
// try. A written Palm tome is queued when asked, and the window closes.
void HotSyncDialog::FinishExport() {
  SetBusy(false);
  for (const QString& text : m_worker->Messages()) {
    m_dialogs.ShowMessage(this, QStringLiteral("Librovance"), text, MessageIcon::kExclamation);
  }
  const HandheldExportOutcome& outcome = m_worker->Outcome();
  if (!outcome.status.IsOk()) {
    const QString cause = QString::fromStdString(outcome.status.Message());
    const QString text = outcome.conversionFailed
                             ? QStringLiteral("The text file could not be made into a tome:\n%1").arg(cause)
                             : QStringLiteral("The Palm file was not written:\n%1\n(result %2)")
                                   .arg(cause)
                                   .arg(static_cast<int>(outcome.result));
    m_dialogs.ShowMessage(this, QStringLiteral("Librovance"), text, MessageIcon::kStop);
    emit exportFinished(false);
    return;
  }
  if (m_queueForHotSync->isChecked()) {
    QueueExportedPalmTome(m_dialogs, this, m_target, m_outputFile->text(), m_placeOnCard->isChecked());
  }
  emit exportFinished(true);
  done(QDialog::Accepted);
}

void HotSyncDialog::reject() {
  if (IsExporting()) return;
  QDialog::reject();
}

void HotSyncDialog::closeEvent(QCloseEvent* event) {
  if (IsExporting()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace lv
