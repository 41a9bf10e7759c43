// Shows the wait cursor for as long as the object lives (the span of one long operation).
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace lv {

class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace lv
