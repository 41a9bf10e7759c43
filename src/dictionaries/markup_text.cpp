#include "dictionaries/markup_text.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "dictionaries/markup_tags.h"
#include "tome/collation.h"
#include "tome/markup.h"

namespace lv::dict {
namespace {

enum class TagAction {
  kNone,       // the tag goes, its text stays
  kStyle,      // a pair of marks (on at the start, off at the end)
  kLineBreak,  // <br>
  kBlock,      // a line break before and after
  kParagraph,  // a blank line before and after
  kRule,       // <hr>
  kListItem,   // <li>
  kLink,       // <a>: a link when its href names a headword
  kKref,       // XDXF <kref>: a link to the headword it holds
  kPhonetic,   // XDXF <tr>: in brackets
  kSkip,       // the tag and everything up to its end go (scripts, styles)
  kResource,   // an image, sound or other file: skipped and counted
  kSpan,       // Pango <span>: marks as its attributes say
};

struct TagRule {
  std::string_view name;
  TagAction action;
  uint8_t on = 0;  // kStyle: the marks
  uint8_t off = 0;
};

constexpr TagRule kTagRules[] = {
    {"a", TagAction::kLink},
    {"abr", TagAction::kStyle, kItalicOn, kItalicOff},
    {"audio", TagAction::kResource},
    {"b", TagAction::kStyle, kBoldOn, kBoldOff},
    {"blockquote", TagAction::kBlock},
    {"br", TagAction::kLineBreak},
    {"center", TagAction::kStyle, kCentreOn, kCentreOff},
    {"cite", TagAction::kStyle, kItalicOn, kItalicOff},
    {"dd", TagAction::kBlock},
    {"def", TagAction::kBlock},
    {"del", TagAction::kStyle, kStrikeOn, kStrikeOff},
    {"dfn", TagAction::kStyle, kItalicOn, kItalicOff},
    {"div", TagAction::kBlock},
    {"dt", TagAction::kBlock},
    {"em", TagAction::kStyle, kItalicOn, kItalicOff},
    {"embed", TagAction::kResource},
    {"ex", TagAction::kStyle, kItalicOn, kItalicOff},
    {"gr", TagAction::kStyle, kItalicOn, kItalicOff},
    {"h1", TagAction::kParagraph},
    {"h2", TagAction::kParagraph},
    {"h3", TagAction::kParagraph},
    {"h4", TagAction::kParagraph},
    {"h5", TagAction::kParagraph},
    {"h6", TagAction::kParagraph},
    {"head", TagAction::kSkip},
    {"hr", TagAction::kRule},
    {"i", TagAction::kStyle, kItalicOn, kItalicOff},
    {"img", TagAction::kResource},
    {"ins", TagAction::kStyle, kUnderlineOn, kUnderlineOff},
    {"k", TagAction::kStyle, kBoldOn, kBoldOff},
    {"kref", TagAction::kKref},
    {"li", TagAction::kListItem},
    {"object", TagAction::kResource},
    {"ol", TagAction::kStyle, kNumberedListStart, kNumberedListEnd},
    {"p", TagAction::kParagraph},
    {"rref", TagAction::kResource},
    {"s", TagAction::kStyle, kStrikeOn, kStrikeOff},
    {"script", TagAction::kSkip},
    {"source", TagAction::kResource},
    {"span", TagAction::kSpan},
    {"strike", TagAction::kStyle, kStrikeOn, kStrikeOff},
    {"strong", TagAction::kStyle, kBoldOn, kBoldOff},
    {"style", TagAction::kSkip},
    {"sub", TagAction::kStyle, kSubscriptOn, kSubscriptOff},
    {"sup", TagAction::kStyle, kSuperscriptOn, kSuperscriptOff},
    {"tr", TagAction::kPhonetic},
    {"u", TagAction::kStyle, kUnderlineOn, kUnderlineOff},
    {"ul", TagAction::kStyle, kBulletListStart, kBulletListEnd},
    {"video", TagAction::kResource},
};

// HTML's table row is a block; XDXF's <tr> is a transcription.
constexpr TagRule kHtmlTableRow = {"tr", TagAction::kBlock};

constexpr bool SortedByName() {
  for (size_t i = 1; i < std::size(kTagRules); ++i) {
    if (!(kTagRules[i - 1].name < kTagRules[i].name)) return false;
  }
  return true;
}
static_assert(SortedByName());

const TagRule* RuleFor(std::string_view name, MarkupKind kind) {
  if (kind == MarkupKind::kHtml && name == "tr") return &kHtmlTableRow;
  const auto* found = std::lower_bound(std::begin(kTagRules), std::end(kTagRules), name,
                                       [](const TagRule& r, std::string_view n) { return r.name < n; });
  return found != std::end(kTagRules) && found->name == name ? found : nullptr;
}

class MarkupConverter {
 public:
  MarkupConverter(MarkupKind kind, StoredTextWriter& writer, int64_t& skipped)
      : m_kind(kind), m_writer(writer), m_skipped(skipped) {}

  void Run(std::string_view text) {
    while (!text.empty()) {
      const size_t special = text.find_first_of("<&");
      WriteText(text.substr(0, special));
      if (special == std::string_view::npos) break;
      text.remove_prefix(special);
      if (text.front() == '&') {
        const size_t used = DecodeEntity(text, m_character);
        WriteText(used ? std::string_view(m_character) : "&");
        text.remove_prefix(used ? used : 1);
        continue;
      }
      if (text.starts_with("<!--")) {
        const size_t end = text.find("-->", 4);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 3);
        continue;
      }
      if (text.starts_with("<!") || text.starts_with("<?")) {
        const size_t end = text.find('>');
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        continue;
      }
      Tag tag;
      if (!ParseTag(text, tag)) {
        WriteText("<");
        text.remove_prefix(1);
        continue;
      }
      text.remove_prefix(tag.length);
      HandleTag(tag, text);
    }
    while (!m_open.empty()) CloseTop();
  }

 private:
  struct OpenElement {
    std::string name;
    std::vector<uint8_t> closingMarks;  // written in this order when it ends
    bool link = false;
    bool phonetic = false;
    bool block = false;
    bool paragraph = false;
  };

  void WriteText(std::string_view text) {
    if (text.empty()) return;
    if (m_kind == MarkupKind::kHtml) {
      m_writer.FlowingText(text);
      return;
    }
    while (!text.empty()) {
      const size_t end = text.find('\n');
      m_writer.FlowingText(text.substr(0, end));
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
      // A line of nothing but white space makes a blank line.
      const size_t next = text.find_first_not_of(" \t\r");
      if (next != std::string_view::npos && text[next] == '\n') {
        m_writer.Paragraph();
        text.remove_prefix(next + 1);
      } else {
        m_writer.LineBreak();
      }
    }
  }

  void CloseTop() {
    const OpenElement element = std::move(m_open.back());
    m_open.pop_back();
    if (element.link) m_writer.EndLink();
    if (element.phonetic) m_writer.Text("]");
    for (uint8_t mark : element.closingMarks) m_writer.Mark(mark);
    if (element.paragraph) m_writer.Paragraph();
    if (element.block) m_writer.LineBreak();
  }

  void Close(const std::string& name) {
    const auto match =
        std::find_if(m_open.rbegin(), m_open.rend(), [&](const OpenElement& e) { return e.name == name; });
    if (match == m_open.rend()) return;  // an end without a start
    const size_t keep = size_t(m_open.rend() - match) - 1;
    while (m_open.size() > keep) CloseTop();
  }

  void Open(OpenElement element, bool selfClosing) {
    if (selfClosing) {
      m_open.push_back(std::move(element));
      CloseTop();
    } else {
      m_open.push_back(std::move(element));
    }
  }

  void SkipElement(const Tag& tag, std::string_view& rest) {
    if (tag.selfClosing) return;
    size_t closingLength = 0;
    const size_t end = FindClosing(rest, tag.name, closingLength);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + closingLength);
  }

  void HandleTag(const Tag& tag, std::string_view& rest) {
    const TagRule* rule = RuleFor(tag.name, m_kind);
    const TagAction action = rule ? rule->action : TagAction::kNone;
    if (tag.closing) {
      Close(tag.name);
      return;
    }
    OpenElement element;
    element.name = tag.name;
    switch (action) {
      case TagAction::kNone: break;
      case TagAction::kStyle:
        m_writer.Mark(rule->on);
        element.closingMarks.push_back(rule->off);
        break;
      case TagAction::kLineBreak: m_writer.HardLineBreak(); return;
      case TagAction::kRule: m_writer.Mark(kHorizontalRule); return;
      case TagAction::kListItem: m_writer.Mark(kListItem); return;
      case TagAction::kBlock:
        m_writer.LineBreak();
        element.block = true;
        break;
      case TagAction::kParagraph:
        m_writer.Paragraph();
        element.paragraph = true;
        break;
      case TagAction::kPhonetic:
        m_writer.Text("[");
        element.phonetic = true;
        break;
      case TagAction::kLink: {
        const std::string href = DecodeEntities(AttributeValue(tag.attributes, "href"));
        constexpr std::string_view kWordScheme = "bword://";
        if (href.size() > kWordScheme.size() &&
            Collate(std::string_view(href).substr(0, kWordScheme.size()), kWordScheme) == 0) {
          m_writer.BeginLink(std::string_view(href).substr(kWordScheme.size()));
          element.link = true;
        }
        break;
      }
      case TagAction::kKref: {
        if (tag.selfClosing) return;
        size_t closingLength = 0;
        const size_t end = FindClosing(rest, tag.name, closingLength);
        const std::string_view inner = rest.substr(0, end);
        const std::string shown = PlainText(inner);
        const std::string target = DecodeEntities(AttributeValue(tag.attributes, "k"));
        m_writer.BeginLink(target.empty() ? shown : target);
        WriteText(shown);
        m_writer.EndLink();
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + closingLength);
        return;
      }
      case TagAction::kSkip: SkipElement(tag, rest); return;
      case TagAction::kResource:
        ++m_skipped;
        if (tag.name == "rref" || tag.name == "audio" || tag.name == "video" || tag.name == "object") {
          SkipElement(tag, rest);
        }
        return;
      case TagAction::kSpan: OpenSpan(tag, element); break;
    }
    Open(std::move(element), tag.selfClosing);
  }

  // Pango's span: weight, style, underline and strikethrough attributes.
  void OpenSpan(const Tag& tag, OpenElement& element) {
    auto style = [&](uint8_t on, uint8_t off) {
      m_writer.Mark(on);
      element.closingMarks.insert(element.closingMarks.begin(), off);
    };
    const std::string_view weight = AttributeValue(tag.attributes, "weight");
    if (ContainsIgnoringCase(weight, "bold") || ContainsIgnoringCase(weight, "heavy")) style(kBoldOn, kBoldOff);
    const std::string_view fontStyle = AttributeValue(tag.attributes, "style");
    if (ContainsIgnoringCase(fontStyle, "italic") || ContainsIgnoringCase(fontStyle, "oblique"))
      style(kItalicOn, kItalicOff);
    const std::string_view underline = AttributeValue(tag.attributes, "underline");
    if (!underline.empty() && underline != "none") style(kUnderlineOn, kUnderlineOff);
    if (AttributeValue(tag.attributes, "strikethrough") == "true") style(kStrikeOn, kStrikeOff);
  }

  MarkupKind m_kind;
  StoredTextWriter& m_writer;
  int64_t& m_skipped;
  std::vector<OpenElement> m_open;
  std::string m_character;
};

}  // namespace

void ConvertMarkup(std::string_view text, MarkupKind kind, StoredTextWriter& writer, int64_t& skippedResources) {
  MarkupConverter(kind, writer, skippedResources).Run(text);
}

}  // namespace lv::dict
