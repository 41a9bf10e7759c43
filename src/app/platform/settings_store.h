// Every user setting of the program, kept in memory between one load at start and one save at close.
// The values live in QSettings (organisation "Varnoth", application "Librovance"), group "Settings".
#pragma once

#include <QString>
#include <QVector>

#include "docview/renderer.h"

class QSettings;

namespace lv {

struct Favourite {
  QString path;
  QString title;
};

struct SettingsStore {
  QString lastTome;
  int loadLastFile = 0;     // 0 or 1
  int quickFindDelay = 15;  // seconds
  QString fontType = QStringLiteral("Arial");
  QString fontSize = QStringLiteral("12");
  int pageBackground = 1;
  int backRValue = 238;
  int backGValue = 238;
  int backBValue = 255;
  int showNewVersionDialog = 1;  // 0 or 1
  int noFavourites = 0;
  QVector<Favourite> favouriteList;
  QString helpPath;    // never written by the program
  QString lastFolder;  // "LastFolder": where the Open dialog starts, the folder of the file it last opened
  // The HotSync folder (hotsync_folder.h); empty for the default. Never written by the program.
  QString hotSyncPath;

  // Reads every value, in the fixed order, with the defaults above for missing values.
  void Load(QSettings& settings);
  // Writes every value except "HelpPath" and "HotSyncPath"; favourites above the count are left where they are.
  void Save(QSettings& settings) const;
};

// The page settings the renderer needs, taken from the store.
PageSettings PageSettingsFrom(const SettingsStore& store);

}  // namespace lv
