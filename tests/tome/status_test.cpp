// Status: the one failure type of the core.
#include "tome/status.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

TEST(Status, OkHasNoMessage) {
  const Status ok = Status::Ok();
  EXPECT_TRUE(ok.IsOk());
  EXPECT_EQ(ok.Code(), StatusCode::kOk);
  EXPECT_EQ(ok.Message(), "");
  EXPECT_EQ(ok.ToString(), "OK");
  EXPECT_TRUE(Status().IsOk());
}

TEST(Status, EachFailureKeepsItsCodeAndMessage) {
  const struct {
    Status status;
    StatusCode code;
    std::string text;
  } cases[] = {
      {Status::NotFound("no 'x'"), StatusCode::kNotFound, "Not found: no 'x'"},
      {Status::Corruption("bad block"), StatusCode::kCorruption, "Corruption: bad block"},
      {Status::NotSupported("version 2002"), StatusCode::kNotSupported, "Not supported: version 2002"},
      {Status::InvalidArgument("index"), StatusCode::kInvalidArgument, "Invalid argument: index"},
      {Status::IoError("cannot open 'x.lv'"), StatusCode::kIoError, "IO error: cannot open 'x.lv'"},
      {Status::OutOfMemory("out of memory"), StatusCode::kOutOfMemory, "Out of memory: out of memory"},
      {Status::IoError(""), StatusCode::kIoError, "IO error"},
      {Status::Cancelled("the import was cancelled"), StatusCode::kCancelled, "Cancelled: the import was cancelled"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.status.IsOk()) << c.text;
    EXPECT_EQ(c.status.Code(), c.code) << c.text;
    EXPECT_EQ(c.status.IsNotSupported(), c.code == StatusCode::kNotSupported) << c.text;
    EXPECT_EQ(c.status.ToString(), c.text);
  }
  const Status copy = cases[1].status;
  EXPECT_EQ(copy.Message(), "bad block");
}

}  // namespace
}  // namespace lv
