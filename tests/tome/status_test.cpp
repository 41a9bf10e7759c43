// Status: the one failure type of the core.
#include "tome/status.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

TEST(Status, OkHasNoMessage) {
  const Status ok = Status::Ok();
  EXPECT_TRUE(ok.ok());
  EXPECT_EQ(ok.code(), Status::Code::kOk);
  EXPECT_EQ(ok.message(), "");
  EXPECT_EQ(ok.ToString(), "OK");
  EXPECT_TRUE(Status().ok());
}

TEST(Status, EachFailureKeepsItsCodeAndMessage) {
  const struct {
    Status status;
    Status::Code code;
    std::string text;
  } cases[] = {
      {Status::NotFound("no 'x'"), Status::Code::kNotFound, "Not found: no 'x'"},
      {Status::Corruption("bad block"), Status::Code::kCorruption, "Corruption: bad block"},
      {Status::NotSupported("version 2002"), Status::Code::kNotSupported, "Not supported: version 2002"},
      {Status::InvalidArgument("index"), Status::Code::kInvalidArgument, "Invalid argument: index"},
      {Status::IoError("cannot open 'x.lv'"), Status::Code::kIoError, "IO error: cannot open 'x.lv'"},
      {Status::OutOfMemory("out of memory"), Status::Code::kOutOfMemory, "Out of memory: out of memory"},
      {Status::IoError(""), Status::Code::kIoError, "IO error"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.status.ok()) << c.text;
    EXPECT_EQ(c.status.code(), c.code) << c.text;
    EXPECT_EQ(c.status.IsNotSupported(), c.code == Status::Code::kNotSupported) << c.text;
    EXPECT_EQ(c.status.ToString(), c.text);
  }
  const Status copy = cases[1].status;
  EXPECT_EQ(copy.message(), "bad block");
}

}  // namespace
}  // namespace lv
