#include "dictionaries/stardict_entry.h"

#include "dictionaries/markup_text.h"
#include "dictionaries/stored_text_writer.h"
#include "tome/coding.h"

namespace lv::dict {
namespace {

bool IsBinaryType(char type) { return type >= 'A' && type <= 'Z'; }

void ConvertField(char type, std::string_view text, StoredTextWriter& writer, EntrySink& sink) {
  int64_t& skipped = sink.Counts().skippedResources;
  switch (type) {
    case 'h': ConvertMarkup(text, MarkupKind::kHtml, writer, skipped); break;
    case 'x': ConvertMarkup(text, MarkupKind::kXdxf, writer, skipped); break;
    case 'g': ConvertMarkup(text, MarkupKind::kPango, writer, skipped); break;
    case 't':
      writer.Text("[");
      writer.FlowingText(text);
      writer.Text("]");
      break;
    case 'r':  // one resource file per line
      while (!text.empty()) {
        const size_t end = text.find('\n');
        if (text.substr(0, end).find_first_not_of(" \r\t") != std::string_view::npos) ++skipped;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      }
      break;
    default:  // plain text, its lines kept
      while (!text.empty()) {
        const size_t end = text.find('\n');
        writer.FlowingText(text.substr(0, end));
        if (end == std::string_view::npos) break;
        writer.HardLineBreak();
        text.remove_prefix(end + 1);
      }
      break;
  }
}

// Takes one field of the given type from the front of data; last says the field runs to the end of
// the data (the last field of a same-type sequence). False when the data is damaged.
bool TakeField(char type, bool last, std::string_view& data, std::string_view& field) {
  if (last) {
    field = data;
    if (!IsBinaryType(type) && !field.empty() && field.back() == '\0') field.remove_suffix(1);
    data = {};
    return true;
  }
  if (IsBinaryType(type)) {
    if (data.size() < 4) return false;
    const uint32_t size = DecodeBE32(reinterpret_cast<const uint8_t*>(data.data()));
    if (size > data.size() - 4) return false;
    field = data.substr(4, size);
    data.remove_prefix(4 + size);
    return true;
  }
  const size_t end = data.find('\0');
  field = data.substr(0, end);
  data.remove_prefix(end == std::string_view::npos ? data.size() : end + 1);
  return true;
}

}  // namespace

std::string ConvertStarDictEntry(std::string_view data, std::string_view sameTypeSequence, EntrySink& sink) {
  StoredTextWriter writer(sink.Encoder());
  std::string_view field;
  auto write = [&](char type) {
    if (IsBinaryType(type)) {
      ++sink.Counts().skippedResources;
      return;
    }
    writer.LineBreak();
    ConvertField(type, field, writer, sink);
  };
  if (!sameTypeSequence.empty()) {
    for (size_t i = 0; i < sameTypeSequence.size() && !data.empty(); ++i) {
      const char type = sameTypeSequence[i];
      if (!TakeField(type, i + 1 == sameTypeSequence.size(), data, field)) break;
      write(type);
    }
  } else {
    while (!data.empty()) {
      const char type = data.front();
      data.remove_prefix(1);
      if (!TakeField(type, false, data, field)) break;
      write(type);
    }
  }
  return writer.Finish();
}

}  // namespace lv::dict
