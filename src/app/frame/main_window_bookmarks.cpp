// Bookmarks (slots 1 to 50 of the open tome's bookmark table, written back into the tome file when it
// closes) and favourites (files kept in the settings), with the menus that list them.
#include <QAction>
#include <QMenu>

#include <algorithm>
#include <string>

#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/frame/menu_text.h"
#include "app/platform/windows1252_text.h"
#include "app/views/entry_view.h"
#include "app/views/subject_list_view.h"
#include "tome/format.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

constexpr int kFirstBookmarkSlot = 1;
constexpr int kLastBookmarkSlot = kBookmarkRecordCount - 1;

// Removes every item after the menu's own three (add, remove, separator).
void ClearListedItems(QMenu* menu) {
  const QList<QAction*> items = menu->actions();
  for (qsizetype i = 3; i < items.size(); ++i) {
    menu->removeAction(items[i]);
    items[i]->deleteLater();
  }
}

}  // namespace

void MainWindow::AddBookmark() {
  TomeReader& reader = m_document.Reader();
  if (!reader.IsOpen()) return;
  int freeSlot = -1;
  for (int slot = kFirstBookmarkSlot; slot <= kLastBookmarkSlot && freeSlot < 0; ++slot) {
    if (reader.Bookmark(slot).IsFree()) freeSlot = slot;
  }
  if (freeSlot < 0) {
    m_app.Dialogs().ShowMessage(this, QStringLiteral("Librovance"),
                                QStringLiteral("Maximum number of bookmarks reached"), MessageIcon::kExclamation);
    return;
  }
  const int subject = std::max(0, m_subjectList->SelectionMark());
  if (subject >= reader.SubjectCount()) return;
  for (int slot = kFirstBookmarkSlot; slot <= kLastBookmarkSlot; ++slot) {
    const BookmarkRecord record = reader.Bookmark(slot);
    if (!record.IsFree() && record.subjectNumber == subject) return;
  }
  const std::string name = reader.Subject(subject);
  reader.SetBookmark(freeSlot, static_cast<int32_t>(name.size()), subject, 0, name);
  RebuildBookmarksMenu();
}

void MainWindow::RemoveBookmark() {
  TomeReader& reader = m_document.Reader();
  if (!reader.IsOpen()) return;
  QList<SelectBookmarkItem> items;
  for (int slot = kFirstBookmarkSlot; slot <= kLastBookmarkSlot; ++slot) {
    const BookmarkRecord record = reader.Bookmark(slot);
    if (!record.IsFree()) items.append({DecodeWindows1252(record.name), slot});
  }
  const int slot = m_app.Dialogs().SelectBookmark(this, SelectBookmarkMode::kBookmarks, items);
  if (slot < kFirstBookmarkSlot || slot > kLastBookmarkSlot) return;
  reader.SetBookmark(slot, 0, 0, 0, std::string_view());
  RebuildBookmarksMenu();
}

void MainWindow::GoToBookmark(int slot) {
  TomeReader& reader = m_document.Reader();
  if (!reader.IsOpen()) return;
  m_entryView->ShowSubject(reader.Bookmark(slot).subjectNumber);
}

void MainWindow::RebuildBookmarksMenu() {
  TomeReader& reader = m_document.Reader();
  if (!reader.IsOpen()) return;
  ClearListedItems(m_bookmarksMenu);
  for (int slot = kFirstBookmarkSlot; slot <= kLastBookmarkSlot; ++slot) {
    const BookmarkRecord record = reader.Bookmark(slot);
    if (record.IsFree()) continue;
    QAction* item = m_bookmarksMenu->addAction(LiteralMenuText(DecodeWindows1252(record.name)));
    item->setData(kFirstBookmarkCommand + slot);
    connect(item, &QAction::triggered, this, [this, slot] { GoToBookmark(slot); });
  }
}

void MainWindow::AddFavourite() {
  if (m_document.Path().isEmpty()) return;
  SettingsStore& settings = m_app.Settings();
  settings.favouriteList.append({m_document.Path(), m_document.Title()});
  settings.noFavourites = static_cast<int>(settings.favouriteList.size());
  RebuildFavouritesMenu();
}

void MainWindow::RemoveFavourite() {
  SettingsStore& settings = m_app.Settings();
  QList<SelectBookmarkItem> items;
  for (int i = 0; i < settings.favouriteList.size(); ++i) {
    const Favourite& favourite = settings.favouriteList[i];
    items.append({QStringLiteral("%1 (%2)").arg(favourite.title, favourite.path), i});
  }
  const int index = m_app.Dialogs().SelectBookmark(this, SelectBookmarkMode::kFavourites, items);
  if (index < 0 || index >= settings.favouriteList.size()) return;
  settings.favouriteList.removeAt(index);
  settings.noFavourites = static_cast<int>(settings.favouriteList.size());
  RebuildFavouritesMenu();
}

// Every favourite opens from its item, however long the list.
void MainWindow::OpenFavourite(int index) {
  const QVector<Favourite>& list = m_app.Settings().favouriteList;
  if (index < 0 || index >= list.size()) return;
  const QString path = list[index].path;
  m_app.OpenFile(path);
}

void MainWindow::RebuildFavouritesMenu() {
  ClearListedItems(m_favouritesMenu);
  const QVector<Favourite>& list = m_app.Settings().favouriteList;
  for (int i = 0; i < list.size(); ++i) {
    if (list[i].title.isEmpty()) continue;
    QAction* item = m_favouritesMenu->addAction(LiteralMenuText(list[i].title));
    item->setData(kFirstFavouriteCommand + i);
    connect(item, &QAction::triggered, this, [this, i] { OpenFavourite(i); });
  }
}

}  // namespace lv
