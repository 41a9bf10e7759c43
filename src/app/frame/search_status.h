// SearchStatus: the status bar's part in a search. When a pass takes more than a moment it shows a
// progress bar with a "Cancel" button; Escape in the main window stops the pass as Cancel does.
#pragma once

#include <QObject>
#include <QTimer>

class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

namespace lv {

class SearchRunner;

class SearchStatus : public QObject {
  Q_OBJECT

 public:
  // How long a pass runs before its progress shows, in milliseconds.
  static constexpr int kMoment = 400;

  // window: the main window, whose Escape key stops the pass.
  SearchStatus(SearchRunner& runner, QStatusBar* bar, QWidget* window);

  void SetMoment(int milliseconds) { m_moment.setInterval(milliseconds); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Begin();
  void ShowProgress();
  void UpdateProgress();
  void End();

  SearchRunner& m_runner;
  QWidget* m_window;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_cancel = nullptr;
  QTimer m_moment;
  QTimer m_poll;
  bool m_swallowEscapeRelease = false;
};

}  // namespace lv
