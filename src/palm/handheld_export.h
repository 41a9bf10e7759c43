// The export of a document for the handheld: a tome, or a plain text file made into a one-entry
// tome first, written as a Palm tome database. The desktop's HotSync window runs it on a worker
// thread; it touches nothing but the files of its request.
#pragma once

#include <string>

#include "palm/palm_tome_writer.h"
#include "tome/messages.h"
#include "tome/progress.h"
#include "tome/status.h"

namespace lv {

// The names of the intermediate files of a text file's export, in the request's work folder.
inline constexpr const char* kTextExportSourceName = "tmp.txt";
inline constexpr const char* kTextExportTomeName = "tmp.lv";

struct HandheldExportRequest {
  std::string sourcePath;  // the tome, or the text file when sourceIsText
  bool sourceIsText = false;
  std::string workFolder;  // where tmp.txt and tmp.lv are written for a text file
  std::string outputPath;
  std::string palmName;  // Windows-1252
  PalmTomeFormat format = PalmTomeFormat::kV25;
  int bitmapBits = 0;  // the 2.8 format's search acceleration; 0 for none
};

struct HandheldExportOutcome {
  Status status;  // a failure names its cause
  ExportResult result = ExportResult::kOk;
  bool conversionFailed = false;  // the text file could not be made into a tome; nothing was written
};

// Writes sourcePath's text as tagged source text at sourceTextPath: "<new>", the name as the one
// subject, then every line of the text without its line end and with a carriage return after it.
Status WriteTextAsTaggedSource(const std::string& textPath, const std::string& name, const std::string& sourceTextPath);

// Runs the export; progress and messages may be null.
HandheldExportOutcome ExportForHandheld(const HandheldExportRequest& request, Progress* progress,
                                        MessageSink* messages);

}  // namespace lv
