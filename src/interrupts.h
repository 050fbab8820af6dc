// What an interrupt does, by when it comes: one rule for every platform.
// The first stops the batch after the map at hand, and the report goes out
// with a whole line for every map handled. Any more count as one, however
// many and however fast they come (a signal to the tool and then to its
// group, Ctrl-C to a pipeline), but for one that comes while the report
// waits on its output since the first (a paused terminal, a pipe that
// nobody reads): that one ends the tool at once, and nothing more is patched.
#pragma once

enum class interrupt_kind {
  request,  // Ctrl+C, Ctrl+Break, SIGINT, SIGTERM, SIGHUP
  ending,   // the console closes, the user logs off, the system shuts down: the process ends once told
};

enum class interrupt_response {
  none,           // counts as one that came before
  stop_batch,     // the batch stops after the map at hand
  stop_and_hold,  // the same, and the process is kept until the report is out
  end_now,
};

struct interrupt_state {
  bool stopping;        // an interrupt came before
  bool report_waiting;  // and since then the report waits on its output
  bool run_over;        // the report is out and the tool waits for a key
};

interrupt_response respond_to_interrupt(interrupt_kind kind, const interrupt_state &state);

// Console events as Win32 numbers them, and their kind; false for an event
// that is no interrupt.
constexpr unsigned long CONSOLE_CTRL_C = 0, CONSOLE_CTRL_BREAK = 1, CONSOLE_CLOSE = 2, CONSOLE_LOGOFF = 5,
                        CONSOLE_SHUTDOWN = 6;
bool console_event_kind(unsigned long event, interrupt_kind *kind);
