// StoredTextWriter: builds one entry's stored text (Windows-1252 with TAB + code marks) from the
// pieces the dictionary texts are made of. It keeps the text tidy as it goes: no line break at the
// start, at most one blank line in a row, no spaces before a line break, none left at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tome/windows1252_encoder.h"

namespace lv::dict {

class StoredTextWriter {
 public:
  // sizeHint: about how long the text will be (its source's length will do).
  explicit StoredTextWriter(Windows1252Encoder& encoder, size_t sizeHint = 0) : m_encoder(encoder) {
    m_out.reserve(sizeHint);
  }

  // Text as it is; a TAB or line end in it becomes a space (only marks may use TAB).
  void Text(std::string_view text);
  // Text whose runs of white space count as one space, as in HTML: no space at the start of a line
  // and never two in a row.
  void FlowingText(std::string_view text);
  // A line break (several in a row make one), or a blank line (two breaks) for a paragraph.
  void LineBreak();
  void Paragraph();
  // A line break that does not merge with one before it (two make a blank line, as <br><br>).
  void HardLineBreak();
  // Any other mark (bold, italic, list item...).
  void Mark(uint8_t code);

  // A link to the subject target around the text written until EndLink. When the link would show
  // nothing, the target is shown. A target that a stored link cannot carry (empty, or with ">") makes
  // no link: the text stays plain.
  void BeginLink(std::string_view target);
  void EndLink();
  // A link whose shown text is also its target.
  void Link(std::string_view word);

  // The stored text, without spaces or breaks at its end.
  std::string Finish();
  bool Empty() const { return m_out.empty(); }

 private:
  void TrimTrailingSpaces();
  int TrailingBreaks() const;
  void AppendEncoded(std::string_view text);

  Windows1252Encoder& m_encoder;
  std::string m_out;
  bool m_inLink = false;
  size_t m_linkTextStart = 0;  // where the shown text of the open link starts
  std::string m_linkTarget;
};

}  // namespace lv::dict
