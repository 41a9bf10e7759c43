// EntryView: the page pane. It renders the entry of a subject once into memory, writes the page file
// from those bytes and displays the same bytes (page_display.h); it shows text file pages the document
// built the same way, the start page and the help pages from disk; it turns clicks on links between
// entries into entries shown, and reports each entry shown and each quick-find key released upward.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <optional>
#include <string>

#include "docview/renderer.h"

class QPrinter;

namespace lv {

class PageFolder;
class TomeReader;
class UserDialogs;
struct PageSettings;

class EntryView : public QTextBrowser {
  Q_OBJECT

 public:
  // The collaborators are read at every page and must outlive the view.
  EntryView(TomeReader& reader, const PageSettings& pageSettings, const PageFolder& pages, UserDialogs& dialogs,
            QWidget* parent);

  // Shows the entry of subject, at the find mark when there is one. With no tome open it shows the
  // start page; a subject the tome does not have changes nothing.
  void ShowSubject(int subject, std::optional<FindMark> findMark = std::nullopt);
  // Shows a page whose bytes were just written to the page file (text file pages).
  void ShowPage(const QByteArray& pageBytes, bool atFindMark);
  void ShowStartPage();
  // Shows any local page (help); pages other than the program's own end on the start page.
  void NavigateTo(const QString& path);

  // The link rule: a link whose text begins with "tome::" shows the subject it names (or the
  // first subject when there is none) and answers true. Of the other links (answer false), an anchor
  // in the page is scrolled to, http, https and mailto links are handed to the desktop's browser or
  // mail program (through the user dialogs), and the rest do nothing.

  bool FollowLink(const QString& href);

  void Print();
  void PrintTo(QPrinter& printer);
  void SetStartPagePath(const QString& path) { m_startPagePath = path; }
  const QString& StartPagePath() const { return m_startPagePath; }

 signals:
  // The entry of subject is on display (after a click, a key, a link, Back or Forward alike).
  void subjectShown(int subject);
  // A quick-find key (see quick_find_keys.h) was released in the pane.
  void quickFindKey(int character);
  // The mouse rests on a link to target (as the page wrote it), or has left it (target empty).
  void linkHovered(const QString& target);

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Load(const QUrl& url);
  void CheckLocation();
  void FollowClickedLink(const QUrl& url);
  void FollowOtherLink(const QString& href);
  void ReportHoveredLink(const QUrl& url);

  TomeReader& m_reader;
  const PageSettings& m_pageSettings;
  const PageFolder& m_pages;
  UserDialogs& m_dialogs;
  QString m_startPagePath;
  // What the pane displays for the page file: the prepared bytes last written to it.
  std::optional<QString> m_pageFileHtml;
};

}  // namespace lv
