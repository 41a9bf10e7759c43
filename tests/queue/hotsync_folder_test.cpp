#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "queue/hotsync_folder.h"
#include "test_files.h"

namespace lv {
namespace {

namespace fs = std::filesystem;

class HotSyncFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Root()); }
  fs::path Root() const { return dir.Path() / "HotSync"; }
  void AddFolder(const fs::path& relative) { fs::create_directories(Root() / relative); }
  std::string MakePdb(const std::string& name, const std::string& bytes) {
    const std::string path = dir.File(name);
    test::WriteFile(path, bytes);
    return path;
  }

  test::TempDir dir;
  HotSyncFolder folder{Root()};
};

// Counts the name calls, to see how the list is read.
class CountingQueue : public HotSyncFolder {
 public:
  using HotSyncFolder::HotSyncFolder;
  UserNameResult UserName(int index, char* buffer, uint16_t& bufferSize) override {
    ++nameCalls;
    return HotSyncFolder::UserName(index, buffer, bufferSize);
  }
  int nameCalls = 0;
};

TEST_F(HotSyncFolderTest, UsersAreTheVisibleFoldersInByteOrder) {
  AddFolder("Zoe");
  AddFolder("Anna Smith");
  AddFolder(".cache");
  test::WriteFile(Root() / "notes.txt", "not a user");
  EXPECT_EQ(folder.Users(), (std::vector<std::string>{"Anna Smith", "Zoe"}));
  EXPECT_EQ(HotSyncUserNames(folder), (std::vector<std::string>{"Anna Smith", "Zoe"}));
}

TEST_F(HotSyncFolderTest, NoUsersWhenTheFolderIsMissingOrEmpty) {
  EXPECT_TRUE(HotSyncUserNames(folder).empty());
  HotSyncFolder missing(dir.Path() / "nowhere");
  EXPECT_EQ(missing.UserCount(), 0);
  EXPECT_TRUE(HotSyncUserNames(missing).empty());
}

TEST_F(HotSyncFolderTest, ALongNameIsFetchedOnTheSecondCall) {
  const std::string shortName(kUserNameBufferSize - 1, 's');
  const std::string longName(kUserNameBufferSize, 't');
  AddFolder(shortName);
  AddFolder(longName);
  CountingQueue counting(Root());
  EXPECT_EQ(HotSyncUserNames(counting), (std::vector<std::string>{shortName, longName}));
  EXPECT_EQ(counting.nameCalls, 3);

  char buffer[kUserNameBufferSize];
  uint16_t size = sizeof buffer;
  EXPECT_EQ(folder.UserName(1, buffer, size), UserNameResult::kBufferTooSmall);
  EXPECT_EQ(size, longName.size() + 1);
  EXPECT_EQ(folder.UserName(2, buffer, size), UserNameResult::kNoSuchUser);
}

TEST_F(HotSyncFolderTest, QueueingCopiesIntoTheUsersInstallFolderAndReplacesTheSameName) {
  AddFolder("anna");
  const std::string pdb = MakePdb("book.pdb", "first");
  ASSERT_TRUE(folder.QueueForUser("anna", pdb).IsOk());
  EXPECT_EQ(test::ReadFile(Root() / "anna" / "Install" / "book.pdb"), "first");
  test::WriteFile(pdb, "second, longer");
  ASSERT_TRUE(folder.QueueForUser("anna", pdb).IsOk());
  EXPECT_EQ(test::ReadFile(Root() / "anna" / "Install" / "book.pdb"), "second, longer");
  // Nothing but the queued file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(Root() / "anna" / "Install"), fs::directory_iterator()), 1);
}

TEST_F(HotSyncFolderTest, QueueingFailsWithItsCause) {
  AddFolder("anna");
  const std::string pdb = MakePdb("book.pdb", "bytes");
  struct Case {
    std::string user;
    std::string path;
    StatusCode code;
  };
  for (const Case& c : {Case{"bob", pdb, StatusCode::kNotFound}, Case{"../anna", pdb, StatusCode::kNotFound},
                        Case{"anna", dir.File("missing.pdb"), StatusCode::kIoError}}) {
    const Status status = folder.QueueForUser(c.user, c.path);
    EXPECT_EQ(status.Code(), c.code) << c.user << " " << c.path;
    EXPECT_FALSE(status.Message().empty());
  }
  EXPECT_FALSE(fs::exists(Root() / "anna" / "Install" / "book.pdb"));
}

TEST_F(HotSyncFolderTest, CardSlotsAreTheCardFoldersInNumericOrder) {
  AddFolder("anna/Card10");
  AddFolder("anna/Card2");
  AddFolder("anna/Cardx");
  AddFolder("anna/Card");
  AddFolder("anna/Install");
  AddFolder("bob");
  const uint32_t anna = folder.UserId("anna");
  EXPECT_NE(anna, 0u);
  EXPECT_EQ(folder.SlotCount(anna), 2u);
  EXPECT_EQ(folder.SlotNumbers(anna), (std::vector<uint32_t>{2, 10}));
  EXPECT_EQ(folder.SlotCount(folder.UserId("bob")), 0u);
  EXPECT_EQ(folder.UserId("carol"), 0u);
  EXPECT_EQ(folder.SlotCount(0), 0u);
}

TEST_F(HotSyncFolderTest, QueueFileChoosesTheFirstCardSlotOrFallsBackToTheUser) {
  AddFolder("anna/Card3");
  AddFolder("anna/Card1");
  AddFolder("bob");
  const std::string pdb = MakePdb("book.pdb", "bytes");

  const QueueOutcome toCard = QueueFile(folder, "anna", pdb, true);
  ASSERT_TRUE(toCard.status.IsOk()) << toCard.status.Message();
  EXPECT_EQ(toCard.target, QueueTarget::kCard);
  EXPECT_EQ(toCard.slot, 1u);
  EXPECT_TRUE(fs::exists(Root() / "anna" / "Card1" / "Install" / "book.pdb"));
  EXPECT_FALSE(fs::exists(Root() / "anna" / "Install"));

  const QueueOutcome noSlot = QueueFile(folder, "bob", pdb, true);
  ASSERT_TRUE(noSlot.status.IsOk());
  EXPECT_EQ(noSlot.target, QueueTarget::kUser);
  EXPECT_TRUE(fs::exists(Root() / "bob" / "Install" / "book.pdb"));

  const QueueOutcome toUser = QueueFile(folder, "anna", pdb, false);
  ASSERT_TRUE(toUser.status.IsOk());
  EXPECT_EQ(toUser.target, QueueTarget::kUser);
  EXPECT_TRUE(fs::exists(Root() / "anna" / "Install" / "book.pdb"));

  EXPECT_FALSE(QueueFile(folder, "carol", pdb, true).status.IsOk());
}

TEST(DefaultHotSyncFolderTest, FollowsTheDataHome) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string savedValue = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(DefaultHotSyncFolder(), "/data/home/Librovance/HotSync");
  ::unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(DefaultHotSyncFolder(), std::string(home) + "/.local/share/Librovance/HotSync");
  }
  if (saved) ::setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
}

}  // namespace
}  // namespace lv
