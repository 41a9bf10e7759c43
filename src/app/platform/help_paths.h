// Where the program finds its help pages.
#pragma once

#include <QString>

namespace lv {

// The folder that holds the "Help" folder: "HelpPath" when set, else the help installed with the
// program (beside it, or in ../share/librovance when installed).
QString HelpBaseFolder(const QString& helpPath, const QString& programDir);
QString HelpIndexPath(const QString& helpPath, const QString& programDir);
QString HelpStartupPath(const QString& helpPath, const QString& programDir);

}  // namespace lv
