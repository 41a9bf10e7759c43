// CLibrovanceView: the page pane. It shows entry pages written by the renderer, the help pages and
// the pages of text files; turns clicks on links between entries into entry changes; keeps the
// subject list in step; records each entry shown in the history; and hands released keys to the
// quick find.
#pragma once

#include <QTextBrowser>

class QPrinter;

namespace lv {

class CLibrovanceApp;

class CLibrovanceView : public QTextBrowser {
  Q_OBJECT

 public:
  CLibrovanceView(CLibrovanceApp& app, QWidget* parent);

  // Shows the entry of subjectIndex; findOffset -1 marks nothing, else the page opens at the mark.
  void ShowSubject(int subjectIndex, int findOffset, int findLength);
  void ShowStartPage();
  // Shows a page file written by the document, at its find location when asked.
  void NavigateToPageFile(const QString& path, bool atFindLocation);
  // Shows any local page (help); pages other than the program's own end on the start page.
  void NavigateTo(const QString& path);
  // At start-up and after every open: the start page unless a text file page is shown.
  void OnInitialUpdate();

  // The link rule: a link whose text begins with "tome::" shows the subject it names (or the
  // first subject when there is none) and answers true; any other link is followed as a page.
  bool FollowLink(const QString& href);

  void Print();
  void PrintTo(QPrinter& printer);
  QString StartPagePath();

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Load(const QUrl& url);
  void CheckLocation();
  void OnAnchorClicked(const QUrl& url);

  CLibrovanceApp& m_app;
  QString m_startPagePath;
};

}  // namespace lv
