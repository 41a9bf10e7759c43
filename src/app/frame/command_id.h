// The commands of the menus, the tool bar and the keys without a menu item. The numbers are the
// commands' ids as they have always been.
#pragma once

namespace lv {

enum class CommandId {
  kAddBookmark = 32771,
  kRemoveBookmark = 32772,
  kFind = 32777,
  kFindNext = 32778,
  kBack = 32782,
  kForward = 32783,
  kImport = 32786,
  kHotSync = 32787,
  kPreferences = 32789,
  kAddFavourite = 32817,
  kRemoveFavourite = 32818,
  kOpen = 57601,
  kPrint = 57607,
  kPaste = 57637,
  kAbout = 57664,
  kExit = 57665,
  kHelp = 57670,
  kNextPane = 57680,
  kPreviousPane = 57681,
};

// The items of the Bookmarks menu carry 40000 + slot, those of the Favourites menu 50000 + index.
constexpr int kFirstBookmarkCommand = 40000;
constexpr int kFirstFavouriteCommand = 50000;

}  // namespace lv
