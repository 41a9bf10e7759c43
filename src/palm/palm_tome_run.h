// The state of one Palm tome export, shared by the writer's steps.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "palm/data_packer.h"
#include "palm/palm_tome_writer.h"
#include "palm/search_index.h"
#include "palm/subject_cache.h"
#include "palm/subject_index.h"
#include "tome/file_util.h"
#include "tome/progress.h"

namespace lv {

// Everything one export holds in memory: the subjects, their sorted order, and the finished records.
struct PalmTomeWriter::Run {
  Progress* progress = nullptr;
  int bitmapBits = 0;
  int subjectCount = 0;
  AtomicFileWriter output;
  Status writeFailure;                // why the output could not be created or written, naming it
  std::vector<std::string> subjects;  // iLVPSubjectArray
  SortedSubjectIndex sorted;          // iSortedSubjectIndex
  std::unique_ptr<SubjectCacheBuilder> cache;
  std::unique_ptr<SearchWordIndex> words;
  std::unique_ptr<DataStreamPacker> packer;
  std::string allocationMessage;  // what an allocation failure at this point reports
};

}  // namespace lv
