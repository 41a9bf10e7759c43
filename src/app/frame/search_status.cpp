#include "app/frame/search_status.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <limits>

#include "app/document/search_runner.h"

namespace lv {
namespace {

constexpr int kPollInterval = 100;

// The progress bar counts in int: large counts are scaled down alike.
int ScaledForBar(int64_t value, int64_t total) {
  constexpr int64_t kLargest = std::numeric_limits<int>::max();
  if (total <= kLargest) return static_cast<int>(value);
  return static_cast<int>(value / (total / kLargest + 1));
}

}  // namespace

SearchStatus::SearchStatus(SearchRunner& runner, QStatusBar* bar, QWidget* window)
    : QObject(window), m_runner(runner), m_window(window) {
  m_progress = new QProgressBar(bar);
  m_progress->setObjectName(QStringLiteral("searchProgress"));
  m_progress->setMaximumWidth(200);
  m_progress->setTextVisible(false);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), bar);
  m_cancel->setObjectName(QStringLiteral("searchCancel"));
  bar->addPermanentWidget(m_progress);
  bar->addPermanentWidget(m_cancel);
  m_progress->hide();
  m_cancel->hide();

  m_moment.setSingleShot(true);
  m_moment.setInterval(kMoment);
  m_poll.setInterval(kPollInterval);
  connect(&m_moment, &QTimer::timeout, this, &SearchStatus::ShowProgress);
  connect(&m_poll, &QTimer::timeout, this, &SearchStatus::UpdateProgress);
  connect(m_cancel, &QPushButton::clicked, &m_runner, &SearchRunner::Cancel);
  connect(&m_runner, &SearchRunner::started, this, &SearchStatus::Begin);
  connect(&m_runner, &SearchRunner::finished, this, &SearchStatus::End);
  qApp->installEventFilter(this);
}

void SearchStatus::Begin() {
  End();
  m_moment.start();
}

void SearchStatus::ShowProgress() {
  if (!m_runner.IsRunning()) return;
  UpdateProgress();
  m_progress->show();
  m_cancel->show();
  m_poll.start();
}

void SearchStatus::UpdateProgress() {
  const SearchRunner::Position position = m_runner.CurrentPosition();
  m_progress->setRange(0, ScaledForBar(position.total, position.total));
  m_progress->setValue(ScaledForBar(position.done, position.total));
}

void SearchStatus::End() {
  m_moment.stop();
  m_poll.stop();
  m_progress->hide();
  m_cancel->hide();
}

// Escape pressed anywhere in the main window stops a running pass; its release is swallowed too, so
// that it does not reach the quick find as well.
bool SearchStatus::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != m_window) return false;
  if (type == QEvent::KeyPress && m_runner.IsRunning()) {
    m_runner.Cancel();
    m_swallowEscapeRelease = true;
    return true;
  }
  if (type == QEvent::KeyRelease && m_swallowEscapeRelease) {
    m_swallowEscapeRelease = false;
    return true;
  }
  return false;
}

}  // namespace lv
