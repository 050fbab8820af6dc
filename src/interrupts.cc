#include "interrupts.h"

interrupt_response respond_to_interrupt(interrupt_kind kind, const interrupt_state &state) {
  if (state.run_over || (state.stopping && state.report_waiting))
    return interrupt_response::end_now;
  if (kind == interrupt_kind::ending)
    return interrupt_response::stop_and_hold;
  return state.stopping ? interrupt_response::none : interrupt_response::stop_batch;
}

bool console_event_kind(unsigned long event, interrupt_kind *kind) {
  switch (event) {
  case CONSOLE_CTRL_C:
  case CONSOLE_CTRL_BREAK:
    *kind = interrupt_kind::request;
    return true;
  case CONSOLE_CLOSE:
  case CONSOLE_LOGOFF:
  case CONSOLE_SHUTDOWN:
    *kind = interrupt_kind::ending;
    return true;
  default:
    return false;
  }
}
