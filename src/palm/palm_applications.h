// The table of Palm applications whose databases the desktop recognises (and offers to install).
#pragma once

#include <string>
#include <string_view>

namespace lv {

struct PalmApplication {
  const char* type;
  const char* creator;
  const char* name;
};

inline constexpr PalmApplication kPalmApplications[] = {
    {"DB99", "DBOS", "DB (Database program)"},
    {"vIMG", "View", "FireViewer/ImageViewer"},
    {"PmDB", "PmDB", "HanDBase"},
    {"Info", "INDB", "nfoView"},
    {"ToGo", "ToGo", "iSilo"},
    {"JbDb", "JBas", "JFile"},
    {"JfDb", "JFil", "JFile Pro"},
    {"DATA", "LSdb", "LIST"},
    {"Mdb1", "Mdb1", "MobileDB"},
    {"Data", "Plkr", "Plucker"},
    {"Data", "Sprd", "QuickSheet"},
    {"TEXt", "TlDc", "TealDoc"},
    {"Info", "TlIf", "TealInfo"},
    {"Data", "TlMl", "TealMeal"},
    {"Data", "TlPt", "TealPaint"},
    {"data", "TDBP", "ThinkDB"},
    {"Tdat", "Tide", "Tides"},
    {"BDOC", "WrdS", "WordSmith"},
};

// The name of the first row whose type and creator both equal the given 4-byte codes (compared
// exactly, case-sensitively), else "Unknown".
std::string PalmApplicationName(std::string_view type, std::string_view creator);

}  // namespace lv
