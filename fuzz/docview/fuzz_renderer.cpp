// Arbitrary bytes as stored entry text (malformed marks, stray TABs, unterminated links, embedded
// 0x00) through the entry page, the tagged line and the plain-text rendering, with an arbitrary
// highlight taken from the first bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "docview/plain_text.h"
#include "docview/renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // Offsets and lengths include -1 and other negatives.
  const lv::FindMark find{static_cast<int8_t>(data[0]) * 4 + data[1], static_cast<int8_t>(data[2]) * 4 + data[3]};
  const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);

  lv::PageSettings settings;
  settings.backgroundStyle = static_cast<int>(size % 9) - 1;
  const std::string page = lv::RenderEntryPage("subject", text, settings, find);
  const std::string_view footer = "\r\n</font></body>\r\n</html>";
  if (page.size() < footer.size() || page.compare(page.size() - footer.size(), footer.size(), footer) != 0) {
    std::abort();
  }
  std::string line;
  lv::AppendTaggedLine(line, "subject", text);
  if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) std::abort();
  lv::RenderPlainText(text, find);
  return 0;
}
