// PalmDocReader: loads the whole text of a PalmDOC database (type "TEXt", creator "REAd") and finds
// text in it, marking the match for the entry view. Record 0 of a PalmDOC, big-endian:
//   0  2  compression: 1 none, 2 PalmDOC compression
//   2  2  unused
//   4  4  text length in bytes, decoded
//   8  2  number of text records (records 1 to n)
//   10 2  text record size
//   12 4  current reading position
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "palm/pdb_container.h"
#include "tome/file_util.h"
#include "tome/messages.h"
#include "tome/status.h"

namespace lv {

inline constexpr const char* kPalmDocType = "TEXt";
inline constexpr const char* kPalmDocCreator = "REAd";
inline constexpr const char* kFindOpeningMark = "<a name=\"findloc\"><font color=\"red\">";
inline constexpr const char* kFindClosingMark = "</font>";
inline constexpr const char* kDocumentMemoryMessage = "Could not allocate memory to store the document.";

struct PalmDocHeader {
  uint16_t compression = 0;
  uint32_t textLength = 0;
  uint16_t textRecordCount = 0;
  uint16_t textRecordSize = 0;
  uint32_t readingPosition = 0;
};

class PalmDocReader {
 public:
  explicit PalmDocReader(MessageSink* messages = nullptr) : m_messages(messages) {}
  PalmDocReader(const PalmDocReader&) = delete;
  PalmDocReader& operator=(const PalmDocReader&) = delete;

  // Loads the text of the PalmDOC at path, whole (a NUL byte in it is kept). Fails, with a message
  // naming the path and the cause, when the file cannot be opened, is not a PalmDOC, or its container
  // is damaged; NotSupported when its compression is neither none (1) nor PalmDOC compression (2).
  // Text that decodes to more than the length in record 0 is cut to that length.
  Status Open(const std::string& path);

  // Bytes of text record i (record i + 1 of the file) as stored or decoded; empty for an unknown
  // compression or a record that is not there. Works while the file is open (during Open).
  std::vector<uint8_t> ReadRecord(size_t i);

  // Finds text (or, with findNext, the text of the last successful find) from just after the last
  // match, wrapping to the start; with mark the match is wrapped in the find marks (the pair an
  // earlier find put in is removed first; the text's own bytes are never taken for marks). The
  // match's position in the text, or -1. The find state outlives Open.
  int Find(std::string_view text, bool findNext, bool mark);

  const std::string& Text() const { return m_text; }
  // The text of the last successful find, which find-next looks for.
  const std::string& LastFoundText() const { return m_findText; }
  const PdbHeader& Header() const { return m_container.header; }
  const PalmDocHeader& DocHeader() const { return m_docHeader; }
  // The type and creator read by the last Open, also when it failed because they are not a PalmDOC's.
  const std::string& LastType() const { return m_lastType; }
  const std::string& LastCreator() const { return m_lastCreator; }

 private:
  bool ReadDocHeader();
  bool LoadText();
  void RemoveMarks();

  // The match the find marks surround, in the text without them.
  struct MarkedStretch {
    size_t offset = 0;
    size_t length = 0;
  };

  MessageSink* m_messages;
  File m_file;  // open only during Open
  PdbContainer m_container;
  PalmDocHeader m_docHeader;
  std::string m_text;
  std::optional<MarkedStretch> m_mark;
  std::string m_lastType;
  std::string m_lastCreator;
  std::string m_findText;
  long long m_findPosition = -1;
};

}  // namespace lv
