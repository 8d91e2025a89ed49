// The file helpers under the cases that lose data or hang when they go wrong: folders and
// symbolic links in the way, over-long names, pipes, inherited descriptors, failed rewrites.
#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using platform::CloseDescriptor;

namespace {

bool CloseOnExec(int fd) { return (fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0; }

std::string ReadAll(int fd) {
  std::string bytes(4096, '\0');
  int64_t n = platform::ReadFull(fd, bytes.data(), bytes.size());
  bytes.resize(n < 0 ? 0 : size_t(n));
  return bytes;
}

}  // namespace

TEST(OsPath, TurnsBackslashesAndKeepsTheNameLimit) {
  struct Case {
    std::string name;
    bool accepted;
    std::string osPath;
  };
  const Case cases[] = {
      {"a\\b/c\\", true, "a/b/c/"},
      {std::string("ab\0cd", 5), true, "ab"},
      {std::string(1023, 'x'), true, std::string(1023, 'x')},
      {std::string(1024, 'x'), false, ""},
  };
  for (const Case& c : cases) {
    std::string osPath;
    EXPECT_EQ(platform::ToOsPath(c.name, osPath), c.accepted) << c.name.size();
    if (c.accepted) {
      EXPECT_EQ(osPath, c.osPath);
    }
  }
}

TEST(OpenForRead, ReadsFilesAndRefusesEverythingElse) {
  TempDir dir;
  TempDir::WriteBytes(dir.Child("f"), "bytes");
  fs::create_directory(dir.Child("folder"));
  ASSERT_EQ(mkfifo(dir.Child("pipe").c_str(), 0600), 0);

  int fd = platform::OpenForRead(dir.Child("f").c_str());  // '/' form
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(CloseOnExec(fd));
  EXPECT_EQ(platform::DescriptorSize(fd), 5);
  EXPECT_EQ(ReadAll(fd), "bytes");
  CloseDescriptor(fd);

  struct Refused {
    std::string name;
    int error;
  };
  const Refused refused[] = {{dir.Child("folder"), EISDIR},
                             {dir.Child("missing"), ENOENT},
                             {dir.Child(std::string(1100, 'n')), ENAMETOOLONG}};
  for (const Refused& r : refused) {
    errno = 0;
    EXPECT_EQ(platform::OpenForRead(r.name), -1) << r.name;
    EXPECT_EQ(errno, r.error) << r.name;
  }

  // A pipe without a writer opens at once and reads as empty instead of blocking.
  fd = platform::OpenForRead(dir.Child("pipe"));
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ReadAll(fd), "");
  CloseDescriptor(fd);
}

TEST(ReplaceForWrite, RemovesWhatHadTheNameButNeverFollowsLinks) {
  TempDir dir;
  TempDir::WriteBytes(dir.Child("old"), "old content");
  fs::create_directory(dir.Child("empty-folder"));
  fs::create_directory(dir.Child("full-folder"));
  TempDir::WriteBytes(dir.Child("full-folder/inside"), "kept");
  TempDir::WriteBytes(dir.Child("target"), "target");
  fs::create_symlink(dir.Child("target"), dir.Child("link"));
  fs::create_directory_symlink(dir.Child("full-folder"), dir.Child("folder-link"));

  for (const char* name : {"old", "empty-folder", "link", "folder-link", "new"}) {
    int fd = platform::ReplaceForWrite(dir.Child(name));
    ASSERT_GE(fd, 0) << name;
    EXPECT_TRUE(CloseOnExec(fd));
    EXPECT_TRUE(platform::WriteFull(fd, "x", 1));
    CloseDescriptor(fd);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.Child(name)))) << name;
    EXPECT_EQ(TempDir::ReadBytes(dir.Child(name)), "x") << name;
  }
  EXPECT_EQ(TempDir::ReadBytes(dir.Child("target")), "target");

  EXPECT_EQ(platform::ReplaceForWrite(dir.Child("full-folder")), -1);
  EXPECT_EQ(TempDir::ReadBytes(dir.Child("full-folder/inside")), "kept");
  EXPECT_EQ(platform::ReplaceForWrite(std::string(1024, 'n')), -1);
  EXPECT_EQ(errno, ENAMETOOLONG);
}

TEST(OpenForAppend, WritesAtTheEndAndCanStillSeek) {
  TempDir dir;
  std::string file = dir.Child("log");
  TempDir::WriteBytes(file, "ab");
  int fd = platform::OpenForAppend(file);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(CloseOnExec(fd));
  EXPECT_TRUE(platform::WriteFull(fd, "cd", 2));
  EXPECT_EQ(platform::SeekDescriptor(fd, -3, platform::SeekFrom::End), 1);
  EXPECT_TRUE(platform::WriteFull(fd, "X", 1));
  EXPECT_EQ(platform::SeekDescriptor(fd, 1, platform::SeekFrom::Current), 3);
  CloseDescriptor(fd);
  EXPECT_EQ(TempDir::ReadBytes(file), "aXcd");
}

TEST(OpenPrivateLog, CreatesPrivateFilesAndRefusesLinks) {
  TempDir dir;
  std::string log = dir.Child("log");
  int fd = platform::OpenPrivateLog(log);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(CloseOnExec(fd));
  CloseDescriptor(fd);
  EXPECT_EQ(fs::status(log).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  TempDir::WriteBytes(dir.Child("target"), "t");
  fs::create_symlink(dir.Child("target"), dir.Child("link"));
  EXPECT_EQ(platform::OpenPrivateLog(dir.Child("link")), -1);
  EXPECT_EQ(TempDir::ReadBytes(dir.Child("target")), "t");
}

// A pipe hands data over in pieces: the loops must gather them all, and stop at the end.
TEST(ReadWriteFull, GatherPiecesUntilTheEnd) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string sent(300000, 'q');  // larger than a pipe's buffer
  std::thread writer([&] {
    EXPECT_TRUE(platform::WriteFull(ends[1], sent.data(), sent.size()));
    close(ends[1]);
  });
  std::string received(sent.size() + 10, '\0');
  EXPECT_EQ(platform::ReadFull(ends[0], received.data(), received.size()), int64_t(sent.size()));
  writer.join();
  close(ends[0]);
  received.resize(sent.size());
  EXPECT_EQ(received, sent);
  EXPECT_EQ(platform::ReadFull(-1, received.data(), 1), -1);
  EXPECT_FALSE(platform::WriteFull(-1, "x", 1));
}

TEST(AtomicRewrite, ReplacesWholeOrLeavesTheOldFile) {
  TempDir dir;
  std::string file = dir.Child("settings.ini");
  TempDir::WriteBytes(file, "old");
  EXPECT_TRUE(platform::AtomicRewrite(file, "new content"));
  EXPECT_EQ(TempDir::ReadBytes(file), "new content");

  fs::create_directory(dir.Child("was-folder"));
  EXPECT_TRUE(platform::AtomicRewrite(dir.Child("was-folder"), "file now"));
  EXPECT_EQ(TempDir::ReadBytes(dir.Child("was-folder")), "file now");

  fs::create_directory(dir.Child("full"));
  TempDir::WriteBytes(dir.Child("full/inside"), "kept");
  EXPECT_FALSE(platform::AtomicRewrite(dir.Child("full"), "lost"));
  EXPECT_FALSE(platform::AtomicRewrite(dir.Child("no-folder/x"), "lost"));
  EXPECT_FALSE(platform::AtomicRewrite(std::string(1024, 'n'), "lost"));
  EXPECT_EQ(TempDir::ReadBytes(dir.Child("full/inside")), "kept");

  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path)) ++entries;
  EXPECT_EQ(entries, 3) << "a temporary file was left behind";
}

// A name as long as a folder entry may be, of a file only its owner may read: the new copy has
// a name that fits beside it, and it is private before the first byte goes in.
TEST(AtomicRewrite, ThePrivateFileOfTheLongestNameStaysPrivateWhileWritten) {
  TempDir dir;
  const std::string file = dir.Child(std::string(255, 'p'));
  TempDir::WriteBytes(file, "old");
  const auto privateMode = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(file, privateMode);
  mode_t modeWhileWritten = 0;
  EXPECT_TRUE(platform::AtomicRewriteWith(file, [&modeWhileWritten](int fd) {
    struct stat info {};
    fstat(fd, &info);
    modeWhileWritten = info.st_mode & 0777;
    return platform::WriteFull(fd, "new", 3);
  }));
  EXPECT_EQ(modeWhileWritten, 0600u);
  EXPECT_EQ(TempDir::ReadBytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions(), privateMode);
}

TEST(TempFolder, FollowsTmpdirAndEndsInASlash) {
  struct Case {
    const char* tmpdir;  // null: unset
    const char* folder;
  };
  const Case cases[] = {{nullptr, "/tmp/"}, {"", "/tmp/"}, {"/x", "/x/"}, {"/x/", "/x/"}};
  TempDir restoresTmpdir(true);
  for (const Case& c : cases) {
    if (c.tmpdir) setenv("TMPDIR", c.tmpdir, 1);
    else unsetenv("TMPDIR");
    EXPECT_EQ(platform::TempFolder(), c.folder);
  }
}

TEST(ExecutablePath, NamesThisTestProgram) {
  std::string path = platform::ExecutablePath();
  EXPECT_EQ(path, fs::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(fs::path(path).filename(), "test_platform");
}
