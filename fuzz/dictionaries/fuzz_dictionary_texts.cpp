// The text conversions of the dictionary readers on arbitrary bytes, without files: dictd text and
// HTML, XDXF and Pango markup. The first byte picks the conversion. Every result must be stored entry
// text: no 0x00, and every TAB followed by a markup code from 1 to 24.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dictionaries/dictd_text.h"
#include "dictionaries/markup_text.h"
#include "dictionaries/stored_text_writer.h"
#include "tome/markup.h"

namespace {

void CheckStoredText(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\0') std::abort();
    if (text[i] != '\t') continue;
    if (i + 1 >= text.size() || !lv::IsMarkupCode(uint8_t(text[i + 1]))) std::abort();
    ++i;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  lv::Windows1252Encoder encoder;
  switch (data[0] % 4) {
    case 0: CheckStoredText(lv::dict::ConvertDictdText(text, "word", encoder)); break;
    default: {
      lv::dict::StoredTextWriter writer(encoder);
      int64_t skipped = 0;
      const auto kind = data[0] % 4 == 1   ? lv::dict::MarkupKind::kHtml
                        : data[0] % 4 == 2 ? lv::dict::MarkupKind::kXdxf
                                           : lv::dict::MarkupKind::kPango;
      lv::dict::ConvertMarkup(text, kind, writer, skipped);
      CheckStoredText(writer.Finish());
      break;
    }
  }
  return 0;
}
