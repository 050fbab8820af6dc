// POSIX process: start-up, arguments, the program's path, signals, and the
// report's output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "interrupts.h"
#include "process.h"

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace {

void claim_standard_streams() {
  int fd;
  do
    fd = open("/", O_RDONLY | O_DIRECTORY);
  while (fd != -1 && fd <= STDERR_FILENO);
  close(fd);  // the first one above the three; -1 where there was none
}

const int INTERRUPTS[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t interrupt_signal = 0;
volatile sig_atomic_t report_waiting = 0;  // a write of the report begun since the first is under way

// The signal's own action ends the process, as its parent's wait then tells.
void end_by_signal(int signal_number) {
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void on_interrupt(int signal_number) {
  interrupt_state state{interrupt_signal != 0, report_waiting != 0, false};
  switch (respond_to_interrupt(interrupt_kind::request, state)) {
  case interrupt_response::stop_batch:
  case interrupt_response::stop_and_hold:
    interrupt_signal = signal_number;
    break;
  case interrupt_response::end_now:
    end_by_signal(signal_number);
    break;
  case interrupt_response::none:
    break;
  }
}

void catch_signals() {
  // A reader that quit, or a limit on file size, must cost the write, not the rest of the batch.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  // No SA_RESTART: an interrupt hands a write that waits on its output back
  // to the tool, which then knows whether the report is stuck. A file call
  // that an interrupt cuts short (on a network or FUSE file system) fails,
  // and its map is reported as not converted, as it was not.
  // An interrupt that comes while the handler runs for another runs it anew:
  // each only notes the first, or ends the tool, so nothing is lost.
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  for (int signal_number : INTERRUPTS) {
    struct sigaction old {};
    // nohup and background jobs ignore some of them for the tool: so be it.
    if (sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
      sigaction(signal_number, &action, nullptr);
  }
}

// One try at a write: the bytes written, 0 where the output took nothing
// for now (it is full, or an interrupt came), -1 where it failed.
ssize_t write_once(int fd, const char *data, size_t size) {
  ssize_t n = write(fd, data, size);
  if (n != -1)
    return n == 0 ? -1 : n;  // an output that takes nothing has failed
  if (errno == EINTR)
    return 0;
  if (errno != EAGAIN)  // EWOULDBLOCK too, the same on every system built for
    return -1;
  // A non-blocking output that is full: wait until it takes more, or an
  // interrupt comes; the write that follows tells which.
  struct pollfd wait_for = {fd, POLLOUT, 0};
  poll(&wait_for, 1, -1);
  return 0;
}

// Writes all of data to fd, whatever interrupts come. A write begun once
// the batch was asked to stop may wait on its output for ever: another
// interrupt meanwhile ends the tool.
bool write_all(int fd, const char *data, size_t size) {
  while (size > 0) {
    report_waiting = interrupt_signal != 0 ? 1 : 0;
    ssize_t n = write_once(fd, data, size);
    report_waiting = 0;
    if (n == -1)
      return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool stdout_sink(void *, const char *data, size_t size) { return write_all(STDOUT_FILENO, data, size); }

}  // namespace

void platform_start() {
  claim_standard_streams();
  catch_signals();
}

std::vector<std::string_view> platform_file_arguments(int argc, char **argv) {
  return std::vector<std::string_view>(argv + std::min(argc, 1), argv + argc);
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

output platform_stdout() { return make_output(stdout_sink, nullptr, isatty(STDOUT_FILENO) != 0, false); }

std::optional<file_id> platform_stdout_file() {
  struct stat st;
  if (fstat(STDOUT_FILENO, &st) != 0)
    return std::nullopt;
  return file_id{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool platform_interrupted() { return interrupt_signal != 0; }

// A terminal here outlives the tool: nothing waits for a key.
int platform_end_run(output &, std::string_view, int status) {
  int signal_number = interrupt_signal;
  if (signal_number == 0)
    return status;
  end_by_signal(signal_number);
  // raise() returns where the signal cannot end the process after all.
  // cppcheck-suppress unreachableCode
  _exit(128 + signal_number);
}
