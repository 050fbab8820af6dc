// POSIX side of the platform seam.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "map_name.h"
#include "platform.h"

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace {

bool has_write_bit(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// As the kernel's own limit on links followed in one path.
constexpr int MAX_HOPS = 40;

// Where the link at path leads: its text, read relative to the link's own
// folder, so that no path is resolved as a whole and no length but the
// system's limits it.
bool follow_link(const std::string &path, std::string *next) {
  char text[PATH_MAX];
  ssize_t n = readlink(path.c_str(), text, sizeof text);
  if (n <= 0 || static_cast<size_t>(n) == sizeof text)
    return false;
  size_t slash = path.rfind('/');
  size_t folder_end = text[0] == '/' || slash == std::string::npos ? 0 : slash + 1;
  next->assign(path, 0, folder_end).append(text, static_cast<size_t>(n));
  return true;
}

file_id id_of(const struct stat &st) { return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}; }

// A last link is followed here, hop by hop, not by the open: the file it
// leads to is judged by its own name before anything opens it. Any other
// entry costs one lstat, as a stat would.
file_info posix_query(const std::string &path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0)
    return file_info{};
  file_info info{};
  info.entry_exists = true;
  info.target = path;
  for (int hops = 0; S_ISLNK(st.st_mode); ++hops) {
    std::string next;
    if (hops == MAX_HOPS || !follow_link(info.target, &next) || lstat(next.c_str(), &st) != 0)
      return info;  // a link to nothing, in a loop, or into a folder it may not search
    info.target = std::move(next);
  }
  info.exists = true;
  // No write bit for anyone is the read-only mark, and it binds root too; the
  // kernel's own test covers the rest, read-only mounts among them.
  info.writable = has_write_bit(st.st_mode) && faccessat(AT_FDCWD, info.target.c_str(), W_OK, AT_EACCESS) == 0;
  info.regular_file = S_ISREG(st.st_mode);
  return info;
}

bool posix_open(const std::string &path, open_file *file) {
  // O_NOFOLLOW: the name opened is the file's own. O_NONBLOCK: should the
  // entry have turned into a FIFO since it was queried, the open fails at
  // once instead of waiting for a reader.
  int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
  if (fd == -1)
    return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  *file = {fd, has_write_bit(st.st_mode), path, id_of(st)};
  return true;
}

write_outcome posix_write_at(const open_file &file, uint64_t offset, const void *data, size_t size) {
  ssize_t n = pwrite(static_cast<int>(file.handle), data, size, static_cast<off_t>(offset));
  if (n == -1 && errno == ESPIPE)
    return write_outcome::bad_offset;
  return n == static_cast<ssize_t>(size) ? write_outcome::written : write_outcome::failed;
}

bool posix_close(const open_file &file) { return close(static_cast<int>(file.handle)) == 0; }

bool posix_list_directory(const std::string &path, std::vector<std::string> *names) {
  DIR *dir = opendir(path.c_str());
  if (!dir)
    return false;
  // readdir tells its end and its failure apart only by errno.
  for (;;) {
    errno = 0;
    const struct dirent *entry = readdir(dir);
    if (!entry)
      break;
    names->emplace_back(entry->d_name);
  }
  bool complete = errno == 0;
  closedir(dir);
  return complete;
}

bool posix_stat_directory(const std::string &path, dir_status *status) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return false;
  auto time = [](const struct timespec &t) { return file_time{static_cast<int64_t>(t.tv_sec), t.tv_nsec}; };
#ifdef __APPLE__
  *status = {id_of(st), time(st.st_mtimespec), time(st.st_ctimespec)};
#else
  *status = {id_of(st), time(st.st_mtim), time(st.st_ctim)};
#endif
  return true;
}

const int INTERRUPTS[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t interrupt_signal = 0;

void on_interrupt(int signal_number) {
  if (interrupt_signal != 0) {
    // The second one: its default action, as soon as this handler returns.
    signal(signal_number, SIG_DFL);
    raise(signal_number);
    return;
  }
  interrupt_signal = signal_number;
}

// Interrupts restart a write (SA_RESTART), but never a poll.
bool stdout_sink(void *, const char *data, size_t size) {
  while (size > 0) {
    ssize_t n = write(STDOUT_FILENO, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
    } else if (n == -1 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A non-blocking output that is full: wait until it takes more.
      struct pollfd wait_for = {STDOUT_FILENO, POLLOUT, 0};
      if (poll(&wait_for, 1, -1) == -1 && errno != EINTR)
        return false;
    } else {
      return false;  // an error, or an output that takes nothing
    }
  }
  return true;
}

}  // namespace

extern const path_syntax PLATFORM_PATHS = POSIX_PATHS;
// macOS compares names without regard to case by default, but not always: the
// lookup without regard to case serves both.
extern const bool PLATFORM_NAMES_DIFFER_BY_CASE = true;

const file_ops &platform_file_ops() {
  static const file_ops ops = {posix_query, posix_open,           posix_write_at,
                               posix_close, posix_list_directory, posix_stat_directory};
  return ops;
}

void platform_claim_standard_streams() {
  int fd;
  do
    fd = open("/", O_RDONLY | O_DIRECTORY);
  while (fd != -1 && fd <= STDERR_FILENO);
  close(fd);  // the first one above the three; -1 where there was none
}

void platform_catch_signals() {
  // A reader that quit, or a limit on file size, must cost the write, not the rest of the batch.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal_number : INTERRUPTS)
    sigaddset(&action.sa_mask, signal_number);
  for (int signal_number : INTERRUPTS) {
    struct sigaction old {};
    // nohup and background jobs ignore some of them for the tool: so be it.
    if (sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
      sigaction(signal_number, &action, nullptr);
  }
}

bool platform_interrupted() { return interrupt_signal != 0; }

void platform_end_interrupted() {
  // The handler takes this one for a second interrupt: the signal's own
  // action ends the process, as its parent's wait then tells.
  int signal_number = interrupt_signal;
  raise(signal_number);
  // raise() returns where the signal cannot end the process after all.
  // cppcheck-suppress unreachableCode
  _exit(128 + signal_number);
}

output platform_stdout() { return make_output(stdout_sink, nullptr, isatty(STDOUT_FILENO) != 0, false); }

std::optional<file_id> platform_stdout_file() {
  struct stat st;
  if (fstat(STDOUT_FILENO, &st) != 0)
    return std::nullopt;
  return id_of(st);
}

// A terminal here outlives the tool.
bool platform_console_is_own() { return false; }
void platform_wait_for_key(int, bool) {}

std::vector<std::string_view> platform_file_arguments(int argc, char **argv) {
  return std::vector<std::string_view>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string platform_program_path(const char *typed) {
#if defined(__linux__)
  std::string path(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
    if (n == -1)
      break;
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
#elif defined(__APPLE__)
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string path(size, '\0');
  if (_NSGetExecutablePath(&path[0], &size) == 0) {
    path.resize(path.find('\0'));
    return path;
  }
#endif
  return typed;
}
