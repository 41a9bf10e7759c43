#include "app/frame/quick_find_bar.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>

#include "app/platform/windows1252_text.h"
#include "app/views/quick_find_keys.h"
#include "tome/tome_reader.h"

namespace lv {

QuickFindBar::QuickFindBar(TomeReader& reader, QWidget* parent)
    : QToolBar(QStringLiteral("Quick Find"), parent),
      m_reader(reader),
      m_clock([] { return QDateTime::currentSecsSinceEpoch(); }) {
  setObjectName(QStringLiteral("quickFindBar"));
  addWidget(new QLabel(QStringLiteral("Quick Find:"), this));
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("quickFindEdit"));
  m_edit->setMinimumWidth(160);
  m_edit->setEnabled(false);
  addWidget(m_edit);
  connect(m_edit, &QLineEdit::textChanged, this, &QuickFindBar::FindText);
}

void QuickFindBar::SetSearchEnabled(bool enabled) { m_edit->setEnabled(enabled); }

void QuickFindBar::Paste() {
  if (m_edit->isEnabled()) m_edit->paste();
}

bool QuickFindBar::TypeCharacter(int character) {
  if (!m_reader.IsOpen()) return false;
  const qint64 now = m_clock();
  if (!m_keyTimeSet) {
    m_lastKeyTime = now;
    m_keyTimeSet = true;
  }
  if (!IsQuickFindCharacter(character)) return false;
  QString text = m_edit->text();
  if (now - m_lastKeyTime > m_delay) text.clear();
  if (character == kQuickFindBackspace) {
    text.chop(1);
  } else if (character == kQuickFindEscape) {
    text.clear();
  } else {
    text.append(QChar(character));
  }
  if (text == m_edit->text()) {
    FindText(text);  // the box would not report an unchanged text
  } else {
    m_edit->setText(text);
  }
  m_lastKeyTime = now;
  return true;
}

void QuickFindBar::FindText(const QString& text) {
  if (!m_reader.IsOpen()) return;
  const int subject = m_reader.FindSubject(SubjectMatch::kPrefix, EncodeWindows1252(text));
  if (subject >= 0) {
    emit subjectFound(subject);
    m_lastGoodText = text;
    return;
  }
  // Put the last good text back; when even that finds nothing in this tome, stop there.
  if (text != m_lastGoodText) m_edit->setText(m_lastGoodText);
}

}  // namespace lv
