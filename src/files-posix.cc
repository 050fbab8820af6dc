// POSIX files: the query and the open, links followed hop by hop, folders.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include "file_system.h"

namespace {

// An open descriptor, closed once: by close(), which tells whether the
// system took it, or else as it goes out of scope.
class owned_fd {
public:
  explicit owned_fd(int fd = -1) : fd_(fd) {}
  owned_fd(const owned_fd &) = delete;
  owned_fd &operator=(const owned_fd &) = delete;
  ~owned_fd() { close(); }
  owned_fd &operator=(owned_fd &&other) noexcept {
    close();
    fd_ = other.release();
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  bool close() { return fd_ == -1 || ::close(release()) == 0; }

private:
  int fd_;
};

// As the kernel's own limit on links followed in one path.
constexpr int MAX_HOPS = 40;

// Where a name leads so far: a path, read from a folder held open where the
// texts of the links on the way outgrew one path, else from the current one.
// A path the system could not take (PATH_MAX bytes or more) leads nowhere.
struct path_at {
  owned_fd folder;
  char path[PATH_MAX];
  bool valid;
  explicit path_at(std::string_view name) : valid(name.size() < sizeof path) {
    size_t n = valid ? name.copy(path, name.size()) : 0;
    path[n] = '\0';
  }
  int at() const { return folder.get() == -1 ? AT_FDCWD : folder.get(); }
};

// Follows the link at *to one hop: its text, read from the link's own
// folder, as the kernel reads it, so that no path is resolved as a whole
// and only each hop's own length is limited.
bool follow_link(path_at *to) {
  char text[PATH_MAX];
  ssize_t n = readlinkat(to->at(), to->path, text, sizeof text);
  if (n == -1 || static_cast<size_t>(n) == sizeof text)  // no text is empty
    return false;
  const char *slash = strrchr(to->path, '/');
  size_t folder_end = text[0] == '/' || slash == nullptr ? 0 : static_cast<size_t>(slash - to->path) + 1;
  if (folder_end + static_cast<size_t>(n) >= sizeof to->path) {
#ifdef O_PATH
    const int folder_only = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
    const int folder_only = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
    to->path[folder_end] = '\0';
    owned_fd folder(openat(to->at(), to->path, folder_only));
    if (folder.get() == -1)
      return false;
    to->folder = std::move(folder);
    folder_end = 0;
  }
  memcpy(to->path + folder_end, text, static_cast<size_t>(n));
  to->path[folder_end + static_cast<size_t>(n)] = '\0';
  return true;
}

bool has_write_bit(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

file_id id_of(const struct stat &st) { return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}; }

reach reach_of(int error) { return error == EACCES ? reach::blocked : error == ELOOP ? reach::dead_end : reach::none; }

// A last link is followed here, hop by hop, not by the open: the file it
// leads to is judged by its own name before anything opens it. Any other
// entry costs one lstat, as a stat would.
file_info posix_query(std::string_view path) {
  file_info info;
  path_at to(path);
  struct stat st;
  if (!to.valid || lstat(to.path, &st) != 0) {
    info.reached = to.valid ? reach_of(errno) : reach::none;
    return info;
  }
  for (int hops = 0; S_ISLNK(st.st_mode); ++hops) {
    if (hops == MAX_HOPS || !follow_link(&to)) {
      info.reached = reach::dead_end;  // a link in a loop, or into a folder it may not search
      return info;
    }
    info.link_target = to.path;
    info.links = hops + 1;
    if (fstatat(to.at(), to.path, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      // A link to nothing; or one whose text names no file though the
      // system follows it (/proc/self/fd/1 to "pipe:[N]"): no file to open.
      path_at name(path);
      bool followed = stat(name.path, &st) == 0;
      info.reached = followed ? reach::found : reach::dead_end;
      info.writable = followed;
      return info;
    }
  }
  info.reached = reach::found;
  // No write bit for anyone is the read-only mark, and it binds root too; the
  // kernel's own test covers the rest, read-only mounts among them.
  info.writable = has_write_bit(st.st_mode) && faccessat(to.at(), to.path, W_OK, AT_EACCESS) == 0;
  info.regular_file = S_ISREG(st.st_mode);
  return info;
}

bool posix_open(std::string_view path, int links, open_file *file) {
  path_at to(path);
  if (!to.valid)
    return false;
  for (int hops = 0; hops < links; ++hops)
    if (!follow_link(&to))
      return false;
  // O_NOFOLLOW: the name opened is the file's own. O_NONBLOCK: should the
  // entry have turned into a FIFO since it was queried, the open fails at
  // once instead of waiting for a reader.
  owned_fd fd(openat(to.at(), to.path, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
  struct stat st;
  if (fd.get() == -1 || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
    return false;
  *file = {fd.release(), has_write_bit(st.st_mode), links == 0 ? "" : to.path, id_of(st)};
  return true;
}

write_outcome posix_write_at(const open_file &file, uint64_t offset, const void *data, size_t size) {
  ssize_t n = pwrite(static_cast<int>(file.handle), data, size, static_cast<off_t>(offset));
  if (n == -1 && errno == ESPIPE)
    return write_outcome::bad_offset;
  return n == static_cast<ssize_t>(size) ? write_outcome::written : write_outcome::failed;
}

bool posix_close(const open_file &file) { return owned_fd(static_cast<int>(file.handle)).close(); }

reach posix_stat_directory(std::string_view path, dir_status *status) {
  path_at at(path);
  struct stat st;
  if (!at.valid || stat(at.path, &st) != 0)
    return at.valid ? reach_of(errno) : reach::none;
  if (!S_ISDIR(st.st_mode))
    return reach::dead_end;
  auto time = [](const struct timespec &t) { return file_time{static_cast<int64_t>(t.tv_sec), t.tv_nsec}; };
#ifdef __APPLE__
  *status = {id_of(st), time(st.st_mtimespec), time(st.st_ctimespec)};
#else
  *status = {id_of(st), time(st.st_mtim), time(st.st_ctim)};
#endif
  return reach::found;
}

bool posix_list_directory(std::string_view path, std::vector<std::string> *names) {
  path_at at(path);
  std::unique_ptr<DIR, int (*)(DIR *)> dir(at.valid ? opendir(at.path) : nullptr, closedir);
  if (!dir)
    return false;
  // readdir tells its end and its failure apart only by errno.
  for (;;) {
    errno = 0;
    const struct dirent *entry = readdir(dir.get());
    if (!entry)
      return errno == 0;
    names->emplace_back(entry->d_name);
  }
}

}  // namespace

file_system platform_file_system() {
  static const file_ops ops = {posix_query, posix_open,           posix_write_at,
                               posix_close, posix_stat_directory, posix_list_directory};
  // macOS compares names without regard to case by default, but not always:
  // the lookup without regard to case serves both.
  return {ops, path_syntax::posix, /* names_differ_by_case */ true, std::nullopt, {}};
}
