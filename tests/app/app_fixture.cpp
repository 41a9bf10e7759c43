#include "app_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

#include <string>
#include <vector>

#include "palm/palmdoc_codec.h"
#include "palm/pdb_container.h"
#include "tome/coding.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"
#include "tome/tome_import.h"

namespace lv {

void ScriptedDialogs::ShowMessage(QWidget*, const QString& caption, const QString& text, MessageIcon icon) {
  shown.append({caption, text, false, icon});
}

bool ScriptedDialogs::AskYesNo(QWidget*, const QString& caption, const QString& text, MessageIcon icon) {
  shown.append({caption, text, true, icon});
  return yesNoAnswers.isEmpty() ? false : yesNoAnswers.takeFirst();
}

QString ScriptedDialogs::ChooseFileToOpen(QWidget*, const QString& folder, const QString&) {
  ++openRequests;
  openFolders.append(folder);
  return filesToOpen.isEmpty() ? QString() : filesToOpen.takeFirst();
}

QString ScriptedDialogs::ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) {
  return filesToSave.isEmpty() ? QString() : filesToSave.takeFirst();
}

bool ScriptedDialogs::ChoosePrinter(QWidget*, QPrinter&) {
  ++printerRequests;
  return false;
}

std::optional<SearchDialogValues> ScriptedDialogs::AskSearch(QWidget*, SearchDialogForm form) {
  searchForms.append(form);
  return searchAnswers.isEmpty() ? std::nullopt : searchAnswers.takeFirst();
}

int ScriptedDialogs::SelectBookmark(QWidget*, SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items) {
  bookmarkDialogs.append({mode, items});
  return bookmarkChoices.isEmpty() ? -1 : bookmarkChoices.takeFirst();
}

std::optional<QColor> ScriptedDialogs::ChooseColor(QWidget*) {
  if (colours.isEmpty()) return std::nullopt;
  return colours.takeFirst();
}

QString ScriptedDialogs::ChooseFileToOpenFiltered(QWidget*, const QString& filters, QString& selectedFilter) {
  filteredOpenFilters.append(filters);
  if (filteredFilesToOpen.isEmpty()) return QString();
  const auto [path, filter] = filteredFilesToOpen.takeFirst();
  selectedFilter = filter;
  return path;
}

void ScriptedDialogs::RunImport(QWidget*, const std::optional<ImportChoice>& preset, const ImportFinished& finished) {
  importRequests.append(preset);
  if (importAnswer) importAnswer(preset, finished);
}

bool ScriptedDialogs::EditPreferences(QWidget*, SettingsStore& settings) {
  ++preferencesRequests;
  return preferencesAnswer ? preferencesAnswer(settings) : false;
}

void ImportLikeTheDialog(const ImportChoice& choice, const ImportFinished& finished) {
  const std::string source = QFile::encodeName(choice.sourcePath).toStdString();
  if (choice.sortFile) SortTabFile(source);
  ImportReport report{choice, ImportSource(source, QFile::encodeName(choice.tomePath).toStdString(),
                                           SourceFormatFromPath(source), nullptr)};
  if (report.outcome.status.IsOk()) finished(report);
}

QString ScriptedDialogs::SelectHotSyncUser(QWidget*, const QStringList& users, const QString& hotSyncFolder) {
  hotSyncUserLists.append(users);
  hotSyncFolders.append(hotSyncFolder);
  return hotSyncUserAnswers.isEmpty() ? QString() : hotSyncUserAnswers.takeFirst();
}

bool ScriptedDialogs::ShowNewFormatNotice(QWidget*) {
  ++noticeRequests;
  return noticeAnswers.isEmpty() ? false : noticeAnswers.takeFirst();
}

QString MakePalmDoc(const QString& path, const QList<QByteArray>& records, bool compressed) {
  QList<QByteArray> stored;
  qsizetype textLength = 0;
  for (const QByteArray& record : records) {
    textLength += record.size();
    if (!compressed) {
      stored.append(record);
      continue;
    }
    QByteArray packed(static_cast<qsizetype>(PalmDocMaxCompressedSize(static_cast<size_t>(record.size()))), '\0');
    packed.resize(static_cast<qsizetype>(PalmDocCompress(reinterpret_cast<const uint8_t*>(record.constData()),
                                                         static_cast<size_t>(record.size()),
                                                         reinterpret_cast<uint8_t*>(packed.data()))));
    stored.append(packed);
  }
  // Record 0: compression, unused, text length, record count, record size, reading position.
  QByteArray header(16, '\0');
  auto* at = reinterpret_cast<uint8_t*>(header.data());
  EncodeBE16(at, static_cast<uint16_t>(compressed ? 2 : 1));
  EncodeBE32(at + 4, static_cast<uint32_t>(textLength));
  EncodeBE16(at + 8, static_cast<uint16_t>(records.size()));
  EncodeBE16(at + 10, 4096);
  stored.prepend(header);
  std::vector<uint32_t> sizes;
  for (const QByteArray& record : stored) sizes.push_back(static_cast<uint32_t>(record.size()));
  const std::vector<uint8_t> container = MakePdbHeader("doc", "TEXt", "REAd", sizes, [] { return int64_t{0}; });
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  file.write(reinterpret_cast<const char*>(container.data()), static_cast<qint64>(container.size()));
  for (const QByteArray& record : stored) file.write(record);
  return path;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString MakeTome(const QString& dir, const QString& name, const QStringList& lines) {
  const QString source = dir + QStringLiteral("/") + name + QStringLiteral(".source.tab");
  QFile file(source);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(source));
  for (const QString& line : lines) file.write(line.toLatin1() + "\r\n");
  file.close();
  const QString tome = dir + QStringLiteral("/") + name;
  const ImportOutcome outcome = ImportSource(QFile::encodeName(source).toStdString(),
                                             QFile::encodeName(tome).toStdString(), SourceFormat::kTab, nullptr);
  if (!outcome.status.IsOk()) qFatal("import failed: %s", outcome.status.Message().c_str());
  return tome;
}

QString MakeVersion1Tome(const QString& dir, const QString& name, const QList<QPair<QByteArray, QByteArray>>& entries) {
  std::vector<test::TestEntry> tomeEntries;
  for (const auto& [subject, text] : entries) tomeEntries.push_back({subject.toStdString(), text.toStdString()});
  const std::string file = test::AssembleVersion1Tome(tomeEntries, 1);  // base version 1: plain text
  const QString path = dir + QStringLiteral("/") + name;
  QFile out(path);
  const auto size = static_cast<qint64>(file.size());
  if (!out.open(QIODevice::WriteOnly) || out.write(file.data(), size) != size)
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

QStringList FruitLines() {
  return {
      QStringLiteral("Abacus\tA frame with beads for counting."),
      QStringLiteral("Abbey\tA house of monks or nuns.<br>Often old."),
      QStringLiteral("Apple\tA round <b>fruit</b>. See <a:Big Ben>the clock</a> and <a>Cherry</a>."),
      QStringLiteral("Banana\tA long yellow fruit. <strike>Blue</strike>."),
      QStringLiteral("Big Ben\tThe great bell of the clock tower."),
      QStringLiteral("Cab\tA taxi. <a:Nowhere>Lost link</a>."),
      QStringLiteral("Cat\tA small animal that purrs."),
      QStringLiteral("Cherry\tA small red fruit on a stalk."),
      QStringLiteral("Date\tThe fruit of a palm."),
      QStringLiteral("Elder\tA shrub with dark berries."),
      QStringLiteral("Fig\tA soft sweet fruit."),
      QStringLiteral("Grape\tA fruit that grows in bunches."),
  };
}

int Fruit(const char* subject) {
  const QStringList lines = FruitLines();
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].startsWith(QString::fromLatin1(subject) + QLatin1Char('\t'))) return i;
  }
  return -1;
}

Collaborators::Collaborators() {
  if (!m_dir.isValid() || !pages.IsValid()) qFatal("no temporary folder");
}

Collaborators::~Collaborators() = default;

void Collaborators::OpenFruitTome() {
  if (m_fruitTome.isEmpty()) m_fruitTome = MakeTome(Dir(), QStringLiteral("fruit.lv"), FruitLines());
  if (!reader.Open(QFile::encodeName(m_fruitTome).toStdString(), OpenMode::kReadWrite).IsOk()) qFatal("cannot open");
}

QByteArray Collaborators::PageBytes() const {
  QFile page(pages.PageFilePath());
  return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
}

QString ShownPageName(const EntryView& view) {
  const QUrl source = view.source();
  return source.fragment().isEmpty() ? source.fileName() : source.fileName() + QLatin1Char('#') + source.fragment();
}

AppHarness::AppHarness() {
  if (!m_dir.isValid()) qFatal("no temporary folder");
}

AppHarness::~AppHarness() {
  if (m_app && m_app->Window() && m_app->Window()->isVisible()) m_app->Window()->hide();
  m_app.reset();
}

QString AppHarness::FruitTome() {
  if (m_fruitTome.isEmpty()) m_fruitTome = MakeTome(Dir(), QStringLiteral("fruit.lv"), FruitLines());
  return m_fruitTome;
}

void AppHarness::WriteSettings(const QVariantMap& values) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Settings"));
  for (auto it = values.begin(); it != values.end(); ++it) settings.setValue(it.key(), it.value());
  settings.endGroup();
}

QVariant AppHarness::ReadSetting(const QString& name) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  return settings.value(QStringLiteral("Settings/") + name);
}

Application& AppHarness::Start(const QStringList& arguments) {
  Application::Options options{SettingsFile(), &dialogs, Dir()};
  m_app.reset();
  m_app = std::make_unique<Application>(options);
  if (!m_app->Start(QStringList{QStringLiteral("librovance")} + arguments)) qFatal("start-up failed");
  QuickFind().SetClock([this] { return now; });
  return *m_app;
}

void AppHarness::Close() { m_app->Window()->close(); }

QLineEdit* AppHarness::QuickFindEdit() {
  return m_app->Window()->findChild<QLineEdit*>(QStringLiteral("quickFindEdit"));
}

QByteArray AppHarness::PageBytes() const {
  QFile page(m_app->Pages().PageFilePath());
  return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
}

QString AppHarness::ShownPageName() { return lv::ShownPageName(View()); }

}  // namespace lv
