// Where vornhost writes a file, handled as shell tools handle an output
// path. A regular file (or a new path) is written under a unique temporary
// name in its folder and renamed over it only when complete, so a failed
// write leaves what was there. Anything else is written in place: the
// target of a symbolic link (the link stays a link), a FIFO, a terminal, a
// device. "-" is standard output.
#pragma once

#include <string>

namespace vornhost {

class OutputFile {
 public:
  // Checks the path before any work is done and claims it: creates the
  // temporary file, or opens the file to write in place. Throws HostError
  // for a folder, a missing folder or one that may not be written.
  explicit OutputFile(const std::string& path);
  // Removes the temporary file unless Commit() has moved it into place.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // The descriptor to write to, at the start of an empty file (a file
  // written in place is emptied on the first call).
  int Descriptor();
  // Whether the descriptor can seek (a regular file), so a writer may go
  // back and complete a header.
  bool Seekable() const;
  // Writes all of data; throws HostError when it cannot.
  void WriteAll(const char* data, std::size_t size);
  // Closes the file and moves the temporary into place. Throws HostError
  // when the data could not be completed.
  void Commit();

  bool IsStandardOutput() const { return path_ == "-"; }
  // The path, or "standard output".
  std::string Name() const;

 private:
  std::string path_;
  std::string temporary_;  // empty when written in place
  int fd_ = -1;
  bool emptied_ = false;
  bool committed_ = false;
};

// For writers that only take a file name: moves their finished `temporary`
// file to `path`, replacing what is there. On failure the temporary file is
// removed and the reason is answered; the answer is empty on success.
std::string MoveIntoPlace(const std::string& temporary, const std::string& path);

}  // namespace vornhost
