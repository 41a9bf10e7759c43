#include "app/platform/termination_signals.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace lv {
namespace {

// The socket the handler writes to; -1 while no instance listens.
volatile sig_atomic_t g_writeSocket = -1;

// Runs inside the signal: only async-signal-safe calls.
void WriteSignalNumber(int signalNumber) {
  const int savedErrno = errno;
  const auto byte = static_cast<unsigned char>(signalNumber);
  if (g_writeSocket >= 0 && ::write(g_writeSocket, &byte, 1) < 0) {
    // A full socket already holds a signal to read: nothing is lost that matters.
  }
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0) return;
  g_writeSocket = m_sockets[0];
  m_notifier = new QSocketNotifier(m_sockets[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::ReadSignals);
  struct sigaction action {};
  action.sa_handler = WriteSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &m_previous[i]);
}

TerminationSignals::~TerminationSignals() {
  if (m_notifier == nullptr) return;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &m_previous[i], nullptr);
  g_writeSocket = -1;
  delete m_notifier;
  ::close(m_sockets[0]);
  ::close(m_sockets[1]);
}

void TerminationSignals::ReadSignals() {
  unsigned char byte = 0;
  while (::read(m_sockets[1], &byte, 1) == 1) emit received(byte);
}

}  // namespace lv
