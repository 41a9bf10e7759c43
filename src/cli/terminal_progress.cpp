#include "cli/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace lv::cli {

namespace {
constexpr int kBarWidth = 40;
}

TerminalProgress::TerminalProgress(std::string label) : m_label(std::move(label)), m_active(::isatty(2) == 1) {}

TerminalProgress::~TerminalProgress() { Finish(); }

void TerminalProgress::SetRange(int64_t low, int64_t high) {
  m_low = low;
  m_high = high;
  m_shownPermille = -1;
}

void TerminalProgress::SetPosition(int64_t position) {
  m_position = position;
  if (!m_active) return;
  const int64_t span = std::max<int64_t>(1, m_high - m_low);
  // The parsers end at the source size, one short of the range: the rest is the writing of the tome.
  const int64_t done = position >= m_high - 1 ? span : position - m_low;
  const int permille = static_cast<int>(std::clamp<int64_t>(done * 1000 / span, 0, 1000));
  if (permille == m_shownPermille) return;  // redraw only when the bar moves visibly
  m_shownPermille = permille;
  Draw();
}

void TerminalProgress::Draw() {
  const int filled = m_shownPermille * kBarWidth / 1000;
  char bar[kBarWidth + 1];
  std::fill(bar, bar + filled, '#');
  std::fill(bar + filled, bar + kBarWidth, '.');
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\r%s [%s] %3d.%d%%%s", m_label.c_str(), bar, m_shownPermille / 10, m_shownPermille % 10,
               m_shownPermille == 1000 ? "  writing the tome..." : "");
  std::fflush(stderr);
  m_drawn = true;
}

void TerminalProgress::Finish() {
  if (!m_drawn) return;
  std::fputc('\n', stderr);
  m_drawn = false;
}

}  // namespace lv::cli
