#include "interrupts.h"

#include <gtest/gtest.h>

namespace {

using response = interrupt_response;

// Each console event by its number, in each state of a run: a closing
// console, a logoff and a shutdown keep the process until the report is out.
TEST(interrupts, every_event_in_every_state) {
  const interrupt_state running{false, false, false}, stopping{true, false, false}, stuck{true, true, false},
      over{false, false, true};
  struct event_case {
    unsigned long event;
    response running, stopping, stuck, over;
  };
  const event_case cases[] = {
      {CONSOLE_CTRL_C, response::stop_batch, response::none, response::end_now, response::end_now},
      {CONSOLE_CTRL_BREAK, response::stop_batch, response::none, response::end_now, response::end_now},
      {CONSOLE_CLOSE, response::stop_and_hold, response::stop_and_hold, response::end_now, response::end_now},
      {CONSOLE_LOGOFF, response::stop_and_hold, response::stop_and_hold, response::end_now, response::end_now},
      {CONSOLE_SHUTDOWN, response::stop_and_hold, response::stop_and_hold, response::end_now, response::end_now},
  };
  for (const event_case &c : cases) {
    interrupt_kind kind{};
    ASSERT_TRUE(console_event_kind(c.event, &kind)) << c.event;
    EXPECT_EQ(respond_to_interrupt(kind, running), c.running) << c.event;
    EXPECT_EQ(respond_to_interrupt(kind, stopping), c.stopping) << c.event;
    EXPECT_EQ(respond_to_interrupt(kind, stuck), c.stuck) << c.event;
    EXPECT_EQ(respond_to_interrupt(kind, over), c.over) << c.event;
  }
  interrupt_kind kind{};
  EXPECT_FALSE(console_event_kind(3, &kind) || console_event_kind(4, &kind) || console_event_kind(7, &kind));
}

}  // namespace
