// The file helpers under the cases that lose data or hang when they go wrong: folders and
// symbolic links in the way, over-long names, pipes, inherited descriptors, failed rewrites.
#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

using Names = std::vector<std::string>;

Names SortedEntries(const std::string& folder) {
  Names names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& name) {
  struct stat info {};
  return lstat(name.c_str(), &info) == 0 ? info.st_mode : 0;
}

// The exit status of body run in a child process (128 + n for signal n); it ends within 10 s.
int StatusOfChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit((alarm(10), body()));
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Root without capabilities is held to a folder's mode as any owner is.
bool DropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct none[2]{};
  return geteuid() != 0 || syscall(SYS_capset, &header, none) == 0;
}

// What comes through the pipe until its last writer has closed it, 10 s at most for each piece.
std::string Drain(int pipe) {
  std::string received;
  char buffer[4096];
  for (pollfd ready{pipe, POLLIN, 0}; poll(&ready, 1, 10000) > 0;) {
    const ssize_t n = read(pipe, buffer, sizeof buffer);
    if (n <= 0 && (ready.revents & POLLHUP)) break;
    if (n > 0) received.append(buffer, size_t(n));
  }
  return received;
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

TEST(ReplaceForWrite, RemovesWhatHadTheNameButKeepsPipesAndNeverFollowsLinks) {
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

  // A pipe stays a pipe and carries what is written to its reader.
  ASSERT_EQ(::mkfifo(dir.Child("pipe").c_str(), 0600), 0);
  const int reader = ::open(dir.Child("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  const int writer = platform::ReplaceForWrite(dir.Child("pipe"));
  ASSERT_GE(writer, 0);
  EXPECT_TRUE(platform::WriteFull(writer, "x", 1));
  CloseDescriptor(writer);
  EXPECT_TRUE(fs::is_fifo(dir.Child("pipe")));
  EXPECT_EQ(ReadAll(reader), "x");
  CloseDescriptor(reader);

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
  platform::UseUnnamedReplacements(false);  // a file with a name is the one others could open
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
  platform::UseUnnamedReplacements(true);
}

// The pipe's reader and the device get the bytes; a socket refuses them as it refuses any open.
TEST(AtomicRewrite, PipesDevicesAndSocketsAreWrittenInPlaceAndStayWhatTheyAre) {
  TempDir dir;
  const std::string pipe = dir.Child("pipe"), device = dir.Child("null"), bound = dir.Child("so");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  std::string received;
  std::thread drain([&received, reader] { received = Drain(reader); });
  const std::string sent(300000, 'f');  // more than the pipe holds at once
  EXPECT_TRUE(platform::AtomicRewrite(pipe, sent));
  // A writer that comes and goes ends the drain, also when the save wrote elsewhere.
  close(open(("/proc/self/fd/" + std::to_string(reader)).c_str(), O_WRONLY | O_NONBLOCK));
  drain.join();
  close(reader);
  EXPECT_TRUE(received == sent) << received.size();
  EXPECT_TRUE(S_ISFIFO(ModeOf(pipe)));

  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {  // as root only
    EXPECT_TRUE(platform::AtomicRewrite(device, "gone"));
    EXPECT_TRUE(S_ISCHR(ModeOf(device)));
  }

  sockaddr_un address{AF_UNIX, {}};
  bound.copy(address.sun_path, sizeof address.sun_path - 1);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_FALSE(platform::AtomicRewrite(bound, "refused"));
  EXPECT_EQ(errno, ENXIO);
  EXPECT_TRUE(S_ISSOCK(ModeOf(bound)));
  close(listener);
}

// A save killed mid-write leaves nothing where files have no name until they are linked in, and
// a named sibling elsewhere; the next save removes those of ended processes and nothing else.
TEST(AtomicRewrite, ALaterSaveRemovesOnlyWhatEndedSavesLeftBesideIt) {
  TempDir dir;
  const std::string target = dir.Child("picture.png");
  TempDir::WriteBytes(target, "old");
  for (const bool unnamed : {true, false}) {
    platform::UseUnnamedReplacements(unnamed);
    EXPECT_EQ(StatusOfChild([&target] {
                platform::Replacement replacement;
                platform::BeginReplacement(target, replacement);
                return platform::WriteFull(replacement.fd, "half", 4) ? raise(SIGKILL) : 1;
              }),
              128 + SIGKILL);
    EXPECT_EQ(SortedEntries(dir.path).size(), unnamed ? 1u : 2u);
  }
  platform::UseUnnamedReplacements(true);
  const std::string left = SortedEntries(dir.path)[0];
  const std::string pid = left.substr(4, left.find('.', 1) - 4);  // the killed child's
  const std::string ended = ".qrn" + pid;
  Names kept = {"qrn" + pid + ".1.tmp", ".qrn0" + pid + ".1.tmp", ".qrn1.1.tmp",  // 1 runs
                ".qrn" + std::to_string(getpid()) + ".1.tmp", ended + "..tmp", ended + ".01.tmp",
                ended + ".1.tmpx"};
  for (const std::string& name : kept) TempDir::WriteBytes(dir.Child(name), "kept");
  TempDir::WriteBytes(dir.Child(ended + ".77.tmp"), "left");
  fs::create_directories(dir.Child(ended + ".2.tmp"));  // a folder, not a file
  fs::create_directories(dir.Child("sub"));
  TempDir::WriteBytes(dir.Child("sub/" + left), "beside another target");
  ASSERT_EQ(chmod(target.c_str(), 06755), 0);
  EXPECT_TRUE(platform::AtomicRewrite(target, "new"));
  EXPECT_EQ(ModeOf(target) & 07777, 0755u);  // new content never keeps a set-id bit
  kept.insert(kept.end(), {ended + ".2.tmp", "picture.png", "sub"});
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(SortedEntries(dir.path), kept);
  EXPECT_EQ(SortedEntries(dir.Child("sub")), Names{left});
}

// A folder that takes no new entry, and a file a mount binds to its name (no rename over it).
// A save that fails there keeps the old file.
TEST(AtomicRewrite, FilesTheFolderWillNotReplaceAreWrittenInPlace) {
  TempDir dir;
  const std::string folder = dir.Child("read-only"), file = folder + "/settings.ini";
  fs::create_directory(folder);
  TempDir::WriteBytes(file, "old");
  ASSERT_EQ(chmod(file.c_str(), 04644) | chmod(folder.c_str(), 0555), 0);
  const auto failingSave = [](int fd) { return platform::WriteFull(fd, "par", 3) && false; };
  EXPECT_EQ(StatusOfChild([&] {
              if (!DropCapabilities() || platform::AtomicRewriteWith(file, failingSave)) return 1;
              if (TempDir::ReadBytes(file) != "old") return 2;
              return platform::AtomicRewrite(file, "new") ? 0 : 3;
            }),
            0);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(TempDir::ReadBytes(file), "new");
  EXPECT_EQ(ModeOf(file) & 07777, 0644u);

  const std::string bound = dir.Child("bound"), source = dir.Child("source");
  TempDir::WriteBytes(bound, "old");
  TempDir::WriteBytes(source, "old");
  ASSERT_EQ(chmod(source.c_str(), 06755), 0);  // a root writer would keep it where written
  const int status = StatusOfChild([&] {
    if (unshare(CLONE_NEWNS) || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
        mount(source.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr)) {
      return 77;
    }
    return platform::AtomicRewrite(bound, "new") ? 0 : 1;
  });
  EXPECT_EQ(SortedEntries(dir.path), (Names{"bound", "read-only", "source"}));
  if (status == 77) GTEST_SKIP() << "no mount namespace of its own here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(TempDir::ReadBytes(source), "new");
  EXPECT_EQ(ModeOf(source) & 07777, 0755u);
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
