#include "palm/palm_applications.h"

namespace lv {

std::string PalmApplicationName(std::string_view type, std::string_view creator) {
  for (const PalmApplication& row : kPalmApplications) {
    if (type == row.type && creator == row.creator) return row.name;
  }
  return "Unknown";
}

}  // namespace lv
