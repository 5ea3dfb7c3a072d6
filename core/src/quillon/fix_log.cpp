// The fix log: a JSON array of repaired statements under data/, appended to
// under an exclusive lock and replaced whole by renaming a finished file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "corvalt/json.hpp"
#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"

namespace corvalt::quillon {

namespace {

[[noreturn]] void os_error(int err, const std::string& path) {
  std::string message = "[Errno " + std::to_string(err) + "] " + std::strerror(err) + ": " +
                        text::py_repr(path);
  if (err == ENOENT) throw FileNotFoundError(message);
  throw OsError(message);
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// os.makedirs(dir, exist_ok=True) for one level.
void make_directory(const std::string& dir) {
  if (::mkdir(dir.c_str(), 0777) == 0) return;
  int err = errno;
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  os_error(err, dir);
}

void write_all(int fd, const std::string& data, const std::string& path) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      os_error(errno, path);
    }
    done += static_cast<std::size_t>(n);
  }
}

// Writes `data` to a new file beside `path` and renames it over `path`.
void replace_file(const std::string& dir, const std::string& path, const std::string& data,
                  const struct stat* existing) {
  static std::atomic<unsigned> counter{0};
  std::string temp;
  Fd fd;
  for (int attempt = 0; fd.get() < 0; ++attempt) {
    temp = dir + "/." + kFixLogName + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
    int raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (raw >= 0) {
      fd.reset(raw);
      break;
    }
    if (errno != EEXIST || attempt > 100) os_error(errno, temp);
  }
  try {
    // Keep the permissions the log already has.
    if (existing && ::fchmod(fd.get(), existing->st_mode & 07777) != 0) os_error(errno, temp);
    write_all(fd.get(), data, temp);
    if (::fsync(fd.get()) != 0) os_error(errno, temp);
    if (::close(fd.release()) != 0) os_error(errno, temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) os_error(errno, path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace

Record FixLogEntry::to_record() const {
  Record r;
  r.append_new("question", question);
  r.append_new("failed_sql", failed_sql);
  r.append_new("error", error);
  r.append_new("working_sql", working_sql);
  return r;
}

std::string fix_log_path(const std::string& dir) { return dir + "/" + kFixLogName; }

void append_fix_log(const FixLogEntry& entry, const std::string& dir) {
  if (dir.find('\0') != std::string::npos) throw ValueError("embedded null byte");
  make_directory(dir);
  const std::string path = fix_log_path(dir);

  // Appends from other services and processes wait here, so each one reads
  // the log that the previous one wrote.
  Fd lock(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (lock.get() < 0) os_error(errno, dir);
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) os_error(errno, dir);
  }

  struct stat st;
  bool exists = ::stat(path.c_str(), &st) == 0;
  Value log = exists ? json::parse_file(path) : Value(make_list());
  if (!log.is_list())
    throw Error(std::string("'") + log.type_name() + "' object has no attribute 'append'");
  log.as_list().push_back(Value(entry.to_record()));
  replace_file(dir, path, json::dump_indented(log), exists ? &st : nullptr);
  // Closing the directory releases the lock.
}

Value read_fix_log(const std::string& path) {
  if (path.find('\0') != std::string::npos) throw ValueError("embedded null byte");
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) os_error(errno, path);
  return json::parse_file(path);
}

Value read_fix_log_or_empty(const std::string& path) {
  try {
    return read_fix_log(path);
  } catch (const FileNotFoundError&) {
    return Value(make_list());
  }
}

}  // namespace corvalt::quillon
