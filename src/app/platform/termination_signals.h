// TerminationSignals: SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in the terminal) arrive as
// the Qt signal `received` on the user-interface thread, so the program can close as File > Exit
// does. The signal handler only writes the signal's number to a socket; a socket notifier reads it
// in the event loop. One instance at a time; the previous handlers come back when it goes.
#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace lv {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;
  // False when the socket could not be made: the signals then keep their previous handlers.
  bool IsValid() const { return m_notifier != nullptr; }

 signals:
  // signalNumber was delivered to the program.
  void received(int signalNumber);

 private:
  static constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};

  void ReadSignals();

  int m_sockets[2] = {-1, -1};
  QSocketNotifier* m_notifier = nullptr;
  struct sigaction m_previous[3] = {};
};

}  // namespace lv
