// A PalmDOC on display: its text as a plain page through the text page path (escaped, line ends
// kept, NUL bytes shown as the symbol for NUL so that none is lost unseen), and Find and Find Next
// in it with the match marked on the page.
#include <QFile>

#include "app/document/document.h"
#include "app/platform/windows1252_text.h"
#include "docview/text_page.h"

namespace lv {

// The PalmDOC the reader has just loaded from path becomes the document.
bool Document::ShowOpenedPalmDoc(const QString& path) {
  const DocumentKind previousKind = m_kind;
  const std::optional<FindMark> previousMark = m_palmDocMark;
  m_palmDocEncoding = DetectTextEncoding(m_palmDoc.Text());
  m_palmDocMark.reset();
  m_kind = DocumentKind::kPalmDoc;
  if (!WritePalmDocPage(false)) {
    // The page on display stays, and with it the document it belongs to.
    m_kind = previousKind;
    m_palmDocMark = previousMark;
    RestoreShownPalmDoc();
    return false;
  }
  m_palmDocPath = path;
  emit tomeInUseChanged(false);
  CloseTome();
  return true;
}

// After an open that replaced the reader's text, the PalmDOC on display (if one is) is read again.
void Document::RestoreShownPalmDoc() {
  if (m_kind != DocumentKind::kPalmDoc) return;
  if (m_palmDoc.Open(QFile::encodeName(m_palmDocPath).toStdString()).IsOk()) {
    m_palmDocEncoding = DetectTextEncoding(m_palmDoc.Text());
    return;
  }
  // The file went away meanwhile: its page stays on display but can no longer be searched.
  m_palmDocMark.reset();
}

bool Document::WritePalmDocPage(bool atFindMark) {
  PageSettings settings = m_pageSettings;
  settings.fontFace = EncodeWindows1252(m_plainPageFontFace);
  const std::string page =
      RenderTextPage(m_palmDoc.Text(), settings, m_plainPageFontSize, m_palmDocMark, NulBytes::kShown);
  return WritePage(page, atFindMark);
}

bool Document::FindInPalmDoc(const QString& term) {
  if (m_kind != DocumentKind::kPalmDoc) return false;
  // The term is looked for in the bytes of the text's own character set.
  const QString trimmed = term.trimmed();
  const std::string wanted =
      m_palmDocEncoding == TextEncoding::kUtf8 ? trimmed.toStdString() : EncodeWindows1252(trimmed);
  return ShowPalmDocMatch(m_palmDoc.Find(wanted, false, false), wanted.size());
}

bool Document::FindNextInPalmDoc() {
  if (m_kind != DocumentKind::kPalmDoc) return false;
  const int position = m_palmDoc.Find({}, true, false);
  return ShowPalmDocMatch(position, m_palmDoc.LastFoundText().size());
}

// The reader's text never holds the marks: the page marks the match, so that a text shows exactly
// one marked stretch and its markup characters stay escaped.
bool Document::ShowPalmDocMatch(int position, size_t length) {
  if (position < 0) return false;
  m_palmDocMark = FindMark{position, static_cast<long long>(length)};
  return WritePalmDocPage(true);
}

}  // namespace lv
