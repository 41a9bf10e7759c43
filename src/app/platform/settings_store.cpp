#include "app/platform/settings_store.h"

#include <QSettings>

#include "app/platform/windows1252_text.h"

namespace lv {
namespace {

const QString kGroup = QStringLiteral("Settings");

int ReadInt(QSettings& settings, const char* name, int fallback) {
  bool ok = false;
  int value = settings.value(QLatin1String(name), fallback).toInt(&ok);
  return ok ? value : fallback;
}

QString ReadString(QSettings& settings, const char* name, const QString& fallback) {
  return settings.value(QLatin1String(name), fallback).toString();
}

}  // namespace

void SettingsStore::Load(QSettings& settings) {
  settings.beginGroup(kGroup);
  quickFindDelay = ReadInt(settings, "QuickFindDelay", 15);
  loadLastFile = ReadInt(settings, "LoadLastFile", 0) != 0 ? 1 : 0;
  showNewVersionDialog = ReadInt(settings, "ShowNewVersionDialog", 1) != 0 ? 1 : 0;
  lastTome = ReadString(settings, "LastTome", QString());
  helpPath = ReadString(settings, "HelpPath", QString());
  fontSize = ReadString(settings, "FontSize", QStringLiteral("12"));
  fontType = ReadString(settings, "FontType", QStringLiteral("Arial"));
  pageBackground = ReadInt(settings, "PageBackground", 1);
  backRValue = ReadInt(settings, "BackRValue", 238);
  backGValue = ReadInt(settings, "BackGValue", 238);
  backBValue = ReadInt(settings, "BackBValue", 255);
  noFavourites = ReadInt(settings, "NoFavourites", 0);
  hotSyncPath = ReadString(settings, "HotSyncPath", QString());
  favouriteList.clear();
  for (int n = 0; n < noFavourites; ++n) {
    Favourite favourite;
    favourite.path = settings.value(QStringLiteral("FavouriteFP%1").arg(n)).toString();
    favourite.title = settings.value(QStringLiteral("FavouriteI%1").arg(n)).toString();
    favouriteList.append(favourite);
  }
  lastFolder = ReadString(settings, "LastFolder", QString());
  settings.endGroup();
}

void SettingsStore::Save(QSettings& settings) const {
  settings.beginGroup(kGroup);
  settings.setValue(QStringLiteral("QuickFindDelay"), quickFindDelay);
  settings.setValue(QStringLiteral("LoadLastFile"), loadLastFile != 0 ? 1 : 0);
  settings.setValue(QStringLiteral("ShowNewVersionDialog"), showNewVersionDialog != 0 ? 1 : 0);
  settings.setValue(QStringLiteral("BackRValue"), backRValue);
  settings.setValue(QStringLiteral("BackGValue"), backGValue);
  settings.setValue(QStringLiteral("BackBValue"), backBValue);
  settings.setValue(QStringLiteral("PageBackground"), pageBackground);
  settings.setValue(QStringLiteral("LastTome"), lastTome);
  settings.setValue(QStringLiteral("FontType"), fontType);
  settings.setValue(QStringLiteral("FontSize"), fontSize);
  const int count = static_cast<int>(favouriteList.size());
  for (int n = 0; n < count; ++n) {
    settings.setValue(QStringLiteral("FavouriteFP%1").arg(n), favouriteList[n].path);
    settings.setValue(QStringLiteral("FavouriteI%1").arg(n), favouriteList[n].title);
  }
  settings.setValue(QStringLiteral("NoFavourites"), count);
  settings.setValue(QStringLiteral("LastFolder"), lastFolder);
  settings.endGroup();
  settings.sync();
}

PageSettings PageSettingsFrom(const SettingsStore& store) {
  PageSettings page;
  page.backgroundStyle = store.pageBackground;
  page.backRed = store.backRValue;
  page.backGreen = store.backGValue;
  page.backBlue = store.backBValue;
  page.fontFace = EncodeWindows1252(store.fontType);
  return page;
}

}  // namespace lv
