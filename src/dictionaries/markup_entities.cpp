// Character entities of HTML and XML: the numeric forms and the named ones dictionaries use.
#include <algorithm>
#include <iterator>

#include "dictionaries/markup_text.h"
#include "tome/windows1252.h"

namespace lv::dict {
namespace {

struct NamedEntity {
  std::string_view name;
  char32_t c;
};

// Sorted by name.
constexpr NamedEntity kNamedEntities[] = {
    {"AElig", 0xC6},    {"Aacute", 0xC1},   {"Acirc", 0xC2},   {"Agrave", 0xC0},   {"Aring", 0xC5},
    {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Ccedil", 0xC7},  {"ETH", 0xD0},      {"Eacute", 0xC9},
    {"Ecirc", 0xCA},    {"Egrave", 0xC8},   {"Euml", 0xCB},    {"Iacute", 0xCD},   {"Icirc", 0xCE},
    {"Igrave", 0xCC},   {"Iuml", 0xCF},     {"Ntilde", 0xD1},  {"OElig", 0x152},   {"Oacute", 0xD3},
    {"Ocirc", 0xD4},    {"Ograve", 0xD2},   {"Oslash", 0xD8},  {"Otilde", 0xD5},   {"Ouml", 0xD6},
    {"Scaron", 0x160},  {"THORN", 0xDE},    {"Uacute", 0xDA},  {"Ucirc", 0xDB},    {"Ugrave", 0xD9},
    {"Uuml", 0xDC},     {"Yacute", 0xDD},   {"Yuml", 0x178},   {"aacute", 0xE1},   {"acirc", 0xE2},
    {"acute", 0xB4},    {"aelig", 0xE6},    {"agrave", 0xE0},  {"amp", '&'},       {"apos", '\''},
    {"aring", 0xE5},    {"atilde", 0xE3},   {"auml", 0xE4},    {"bdquo", 0x201E},  {"brvbar", 0xA6},
    {"bull", 0x2022},   {"ccedil", 0xE7},   {"cedil", 0xB8},   {"cent", 0xA2},     {"copy", 0xA9},
    {"curren", 0xA4},   {"dagger", 0x2020}, {"deg", 0xB0},     {"divide", 0xF7},   {"eacute", 0xE9},
    {"ecirc", 0xEA},    {"egrave", 0xE8},   {"emsp", 0x2003},  {"ensp", 0x2002},   {"eth", 0xF0},
    {"euml", 0xEB},     {"euro", 0x20AC},   {"frac12", 0xBD},  {"frac14", 0xBC},   {"frac34", 0xBE},
    {"gt", '>'},        {"hellip", 0x2026}, {"iacute", 0xED},  {"icirc", 0xEE},    {"iexcl", 0xA1},
    {"igrave", 0xEC},   {"iquest", 0xBF},   {"iuml", 0xEF},    {"laquo", 0xAB},    {"ldquo", 0x201C},
    {"lsaquo", 0x2039}, {"lsquo", 0x2018},  {"lt", '<'},       {"macr", 0xAF},     {"mdash", 0x2014},
    {"micro", 0xB5},    {"middot", 0xB7},   {"nbsp", 0xA0},    {"ndash", 0x2013},  {"not", 0xAC},
    {"ntilde", 0xF1},   {"oacute", 0xF3},   {"ocirc", 0xF4},   {"oelig", 0x153},   {"ograve", 0xF2},
    {"ordf", 0xAA},     {"ordm", 0xBA},     {"oslash", 0xF8},  {"otilde", 0xF5},   {"ouml", 0xF6},
    {"para", 0xB6},     {"permil", 0x2030}, {"plusmn", 0xB1},  {"pound", 0xA3},    {"quot", '"'},
    {"raquo", 0xBB},    {"rdquo", 0x201D},  {"reg", 0xAE},     {"rsaquo", 0x203A}, {"rsquo", 0x2019},
    {"sbquo", 0x201A},  {"scaron", 0x161},  {"sect", 0xA7},    {"shy", 0xAD},      {"sup1", 0xB9},
    {"sup2", 0xB2},     {"sup3", 0xB3},     {"szlig", 0xDF},   {"thinsp", 0x2009}, {"thorn", 0xFE},
    {"tilde", 0x2DC},   {"times", 0xD7},    {"trade", 0x2122}, {"uacute", 0xFA},   {"ucirc", 0xFB},
    {"ugrave", 0xF9},   {"uml", 0xA8},      {"uuml", 0xFC},    {"yacute", 0xFD},   {"yen", 0xA5},
    {"yuml", 0xFF},
};

constexpr bool SortedByName() {
  for (size_t i = 1; i < std::size(kNamedEntities); ++i) {
    if (!(kNamedEntities[i - 1].name < kNamedEntities[i].name)) return false;
  }
  return true;
}
static_assert(SortedByName());

constexpr size_t kLongestEntity = 12;

bool ParseNumber(std::string_view digits, int base, char32_t& c) {
  if (digits.empty()) return false;
  uint32_t value = 0;
  for (char d : digits) {
    int digit = -1;
    if (d >= '0' && d <= '9') digit = d - '0';
    if (base == 16 && d >= 'a' && d <= 'f') digit = d - 'a' + 10;
    if (base == 16 && d >= 'A' && d <= 'F') digit = d - 'A' + 10;
    if (digit < 0) return false;
    value = value * uint32_t(base) + uint32_t(digit);
    if (value > 0x10FFFF) return false;
  }
  if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return false;
  c = value;
  return true;
}

}  // namespace

size_t DecodeEntity(std::string_view text, std::string& character) {
  character.clear();
  if (text.size() < 3 || text[0] != '&') return 0;
  const size_t end = text.find(';');
  if (end == std::string_view::npos || end > kLongestEntity || end < 2) return 0;
  const std::string_view body = text.substr(1, end - 1);
  char32_t c = 0;
  if (body[0] == '#') {
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    if (!ParseNumber(body.substr(hex ? 2 : 1), hex ? 16 : 10, c)) return 0;
  } else {
    const auto* found = std::lower_bound(std::begin(kNamedEntities), std::end(kNamedEntities), body,
                                         [](const NamedEntity& e, std::string_view name) { return e.name < name; });
    if (found == std::end(kNamedEntities) || found->name != body) return 0;
    c = found->c;
  }
  AppendUtf8(character, c);
  return end + 1;
}

}  // namespace lv::dict
