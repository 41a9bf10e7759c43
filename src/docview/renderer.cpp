// Entry pages, plain page headers and the tagged-text export.
//
// Entry page bytes (CR LF = 0x0D 0x0A):
//   <html> <head> <meta Content-Language> <meta Content-Type> <meta ProgId> <title> </head>,
//   each line followed by CR LF;
//   <body background="res://librovance.exe/#2/#NNN">   styles 1..5 (and any other value: as 1), or
//   <body bgcolor = "rrggbb">                         style 0;
//   <font size=N face="FACE"> CR LF
//   <h2>SUBJECT</h2> then the walked entry text, then CR LF </font></body> CR LF </html>
#include "docview/renderer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "docview/markup_walker.h"
#include "tome/markup.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// The page form of each code (index = code); the link start is written by LinkStart.
constexpr std::string_view kPageForm[kLastMarkupCode + 1] = {
    "",          "<b>", "</b>", "<i>",      "</i>",      "<u>",   "</u>",   "<HR ALIGN=\"center\" WIDTH=\"100%\">",
    "<br>",      "<p>", "<li>", "<ol>",     "</ol>",     "<ul>",  "</ul>",  "<center>",
    "</center>", "",    "</a>", "<strike>", "</strike>", "<sup>", "</sup>", "<sub>",
    "</sub>",
};

constexpr std::string_view kCrLf = "\r\n";

// Bitmap resource numbers of background styles 1..5.
constexpr int kBackgroundBitmaps[6] = {0, 192, 234, 235, 233, 218};

void AppendHexByte(std::string& out, int value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const int v = std::clamp(value, 0, 255);
  out += kDigits[v >> 4];
  out += kDigits[v & 0x0F];
}

// The body element of the chosen background style.
void AppendBody(std::string& out, const PageSettings& settings) {
  if (settings.backgroundStyle == 0) {
    out += "<body bgcolor = \"";
    AppendHexByte(out, settings.backRed);
    AppendHexByte(out, settings.backGreen);
    AppendHexByte(out, settings.backBlue);
    out += "\">";
    return;
  }
  const int style = (settings.backgroundStyle >= 1 && settings.backgroundStyle <= 5) ? settings.backgroundStyle : 1;
  out += "<body background=\"res://librovance.exe/#2/#";
  out += std::to_string(kBackgroundBitmaps[style]);
  out += "\">";
}

void AppendEntryPageHeader(std::string& out, const PageSettings& settings, int fontSize) {
  out +=
      "<html>\r\n"
      "<head>\r\n"
      "<meta http-equiv=\"Content-Language\" content=\"en-gb\">\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
      "<meta name=\"ProgId\" content=\"Librovance\">\r\n"
      "<title>Librovance</title>\r\n"
      "</head>\r\n";
  AppendBody(out, settings);
  out += "<font size=";
  out += std::to_string(fontSize);
  out += " face=\"";
  out += settings.fontFace;
  out += "\">";
  out += kCrLf;
}

// Writes runs as they are (with the find highlight) and marks in their page form.
class PageWriter {
 public:
  PageWriter(std::string& out, std::string_view text, std::optional<FindMark> find)
      : m_out(out), m_text(text), m_find(find) {}

  void Run(size_t begin, size_t end) {
    AppendRunWithHighlight(m_out, m_text, begin, end, m_find, "<a name=\"findloc\"><font color=\"red\">",
                           "</a></font>");
  }
  void Mark(uint8_t code) { m_out += kPageForm[code]; }
  void LinkStart(std::string_view target) {
    m_out += "<a href=\"tome::";
    m_out.append(target);
    m_out += "\">";
  }

 private:
  std::string& m_out;
  std::string_view m_text;
  std::optional<FindMark> m_find;
};

// Writes runs as they are and marks in their tagged form.
class TaggedWriter {
 public:
  TaggedWriter(std::string& out, std::string_view text) : m_out(out), m_text(text) {}

  void Run(size_t begin, size_t end) { m_out.append(m_text.substr(begin, end - begin)); }
  void Mark(uint8_t code) { m_out += kTaggedForm[code]; }
  void LinkStart(std::string_view target) {
    m_out += kTaggedForm[kLinkStart];
    m_out.append(target);
    m_out += '>';
  }

 private:
  std::string& m_out;
  std::string_view m_text;
};

bool WriteAll(std::FILE* stream, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

// The failure of a C library call, with errno's cause as its message ("" when errno names none).
Status ErrnoStatus(Status (*make)(std::string)) { return make(errno != 0 ? std::strerror(errno) : ""); }

// Replaces the contents of the file at path with bytes. The file is overwritten and then cut to
// length rather than truncated to zero first: on ext4 a truncate to zero followed by a rewrite forces
// a flush to disk at close, which costs milliseconds on every page shown. False with errno set.
bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  size_t done = 0;
  errno = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (done < bytes.size() && errno == 0) errno = EIO;
  const bool ok = done == bytes.size() && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  const int savedErrno = errno;
  if (::close(fd) != 0) return false;
  errno = savedErrno;
  return ok;
}

}  // namespace

std::string RenderEntryPage(std::string_view subject, std::string_view entryText, const PageSettings& settings,
                            std::optional<FindMark> find) {
  std::string page;
  page.reserve(600 + subject.size() + entryText.size() * 2);
  AppendEntryPageHeader(page, settings, settings.entryFontSize);
  page += "<h2>";
  page.append(subject);
  page += "</h2>";
  PageWriter writer(page, entryText, find);
  WalkStoredText(entryText, writer);
  page += "\r\n</font></body>\r\n</html>";
  return page;
}

Status RenderEntryPageOf(TomeReader& reader, int subjectIndex, const PageSettings& settings,
                         std::optional<FindMark> find, std::string& page) {
  page.clear();
  if (!reader.IsOpen() || subjectIndex < 0 || subjectIndex >= reader.SubjectCount()) {
    return Status::InvalidArgument(std::strerror(EINVAL));
  }
  const std::string subject = reader.Subject(subjectIndex);
  if (!reader.LoadEntryText(subjectIndex)) return Status::OutOfMemory(std::strerror(ENOMEM));
  page = RenderEntryPage(subject, reader.CurrentEntryText(), settings, find);
  return Status::Ok();
}

Status WriteEntryPage(TomeReader& reader, int subjectIndex, const PageSettings& settings, std::optional<FindMark> find,
                      const std::string& path) {
  std::string page;
  if (Status rendered = RenderEntryPageOf(reader, subjectIndex, settings, find, page); !rendered.IsOk()) {
    return rendered;
  }
  errno = 0;
  return ReplaceFileContents(path, page) ? Status::Ok() : ErrnoStatus(Status::IoError);
}

std::string MakePlainPageHeader(const PageSettings& settings, int plainPageFontSize) {
  std::string header =
      "<html>\r\n"
      "<head>\r\n"
      "<title>Librovance</title>\r\n"
      "</head>\r\n";
  AppendBody(header, settings);
  header += "<font size=\"";
  header += std::to_string(plainPageFontSize);
  header += "\" face=\"";
  header += settings.fontFace;
  header += "\">";
  return header;
}

void AppendTaggedLine(std::string& out, std::string_view subject, std::string_view entryText) {
  out.append(subject);
  out += kMarkByte;
  TaggedWriter writer(out, entryText);
  WalkStoredText(entryText, writer);
  out += kCrLf;
}

Status ExportTaggedText(TomeReader& reader, std::FILE* stream) {
  constexpr size_t kFlushSize = 1 << 16;
  errno = 0;
  std::string buffer;
  buffer.reserve(kFlushSize * 2);
  const int count = reader.IsOpen() ? reader.SubjectCount() : 0;
  for (int i = 0; i < count; ++i) {
    const std::string subject = reader.Subject(i);
    if (!reader.LoadEntryText(i)) return ErrnoStatus(Status::OutOfMemory);
    AppendTaggedLine(buffer, subject, reader.CurrentEntryText());
    if (buffer.size() >= kFlushSize) {
      if (!WriteAll(stream, buffer)) return ErrnoStatus(Status::IoError);
      buffer.clear();
    }
  }
  return WriteAll(stream, buffer) ? Status::Ok() : ErrnoStatus(Status::IoError);
}

}  // namespace lv
