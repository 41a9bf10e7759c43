// QuickFindBar: the "Quick Find:" box and what typing into it does. Each character typed in the list
// or the page (or straight into the box) extends the text, unless more seconds than the quick-find
// delay have passed since the last one; the first subject that begins with the text is reported as
// found. A text that finds nothing is replaced by the last one that did.
#pragma once

#include <QToolBar>
#include <functional>

class QLineEdit;

namespace lv {

class TomeReader;

class QuickFindBar : public QToolBar {
  Q_OBJECT

 public:
  QuickFindBar(TomeReader& reader, QWidget* parent);

  // Feeds one typed character (see views/quick_find_keys.h); false when it was not taken: no tome is
  // open or the character is not one the quick find uses.
  bool TypeCharacter(int character);
  // Pastes the clipboard into the box when the box is enabled.
  void Paste();
  // The box is enabled only while a tome is in use.
  void SetSearchEnabled(bool enabled);
  QLineEdit* Edit() const { return m_edit; }
  // Seconds after which the next character starts a new text.
  void SetDelay(int seconds) { m_delay = seconds; }
  // Whole seconds for the delay; tests set their own clock.
  void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

 signals:
  // The text finds subject: it should be shown.
  void subjectFound(int subject);

 private:
  void FindText(const QString& text);

  TomeReader& m_reader;
  QLineEdit* m_edit = nullptr;
  int m_delay = 15;
  std::function<qint64()> m_clock;
  bool m_keyTimeSet = false;
  qint64 m_lastKeyTime = 0;
  QString m_lastGoodText;
};

}  // namespace lv
