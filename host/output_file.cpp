#include "host/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "host/host_error.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace vornhost {

namespace {

namespace fs = std::filesystem;

constexpr int kStandardOutput = 1;

[[noreturn]] void Fail(const std::string& path, const std::string& why) {
  throw HostError("cannot write '" + path + "': " + why);
}

std::string LastError() {
  return std::strerror(errno);
}

// A fresh file beside path that no one else has, made as mkstemp makes
// one: a random name, created only when it does not exist yet.
int CreateTemporary(const fs::path& folder, const std::string& name, std::string& temporary) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> letter(0, static_cast<int>(sizeof kLetters) - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[letter(random)];
    temporary = (folder / ("." + name + "." + suffix + ".part")).string();
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  if (path_.empty()) Fail(path_, "no file name");
  if (IsStandardOutput()) {
    fd_ = kStandardOutput;
#ifdef _WIN32
    _setmode(fd_, _O_BINARY);
#endif
    return;
  }
  std::error_code ec;
  const fs::path target(path_);
  const fs::file_status own = fs::symlink_status(target, ec);
  const bool followed = fs::is_symlink(own);
  const fs::file_status seen = followed ? fs::status(target, ec) : own;
  if (fs::is_directory(seen)) Fail(path_, "it is a folder");

  if (!fs::exists(own) || fs::is_regular_file(own)) {
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) Fail(path_, "there is no folder '" + folder.string() + "'");
    fd_ = CreateTemporary(folder, target.filename().string(), temporary_);
    if (fd_ < 0) {
      temporary_.clear();
      Fail(path_, LastError());
    }
    // The finished file keeps the permissions of the one it replaces.
    if (fs::exists(own)) fs::permissions(temporary_, own.permissions(), ec);
    return;
  }
  // A link's target, a FIFO, a terminal or a device: written where it is.
  // A FIFO's open waits for its reader.
  fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_BINARY, 0666);
  if (fd_ < 0) Fail(path_, LastError());
}

OutputFile::~OutputFile() {
  if (fd_ >= 0 && fd_ != kStandardOutput) close(fd_);
  if (!temporary_.empty() && !committed_) std::remove(temporary_.c_str());
}

int OutputFile::Descriptor() {
  if (!emptied_ && temporary_.empty() && !IsStandardOutput()) {
    // A regular file reached through a link is replaced in place, as a
    // shell's redirection replaces it.
    struct stat info {};
    if (fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
#ifdef _WIN32
      _chsize(fd_, 0);
#else
      if (ftruncate(fd_, 0) != 0) Fail(path_, LastError());
#endif
    }
  }
  emptied_ = true;
  return fd_;
}

bool OutputFile::Seekable() const {
  struct stat info {};
  return fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) && lseek(fd_, 0, SEEK_CUR) >= 0;
}

void OutputFile::WriteAll(const char* data, std::size_t size) {
  const int fd = Descriptor();
  while (size > 0) {
    const auto n = write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(Name(), LastError());
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void OutputFile::Commit() {
  if (fd_ != kStandardOutput) {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) Fail(Name(), LastError());
  }
  if (!temporary_.empty()) {
    std::error_code ec;
    fs::rename(temporary_, path_, ec);
    if (ec) Fail(path_, "cannot move the finished file into place: " + ec.message());
  }
  committed_ = true;
}

std::string MoveIntoPlace(const std::string& temporary, const std::string& path) {
  std::error_code error;
  fs::rename(temporary, path, error);
  if (!error) return {};
  std::remove(temporary.c_str());
  return error.message();
}

std::string OutputFile::Name() const {
  return IsStandardOutput() ? std::string("standard output") : path_;
}

}  // namespace vornhost
