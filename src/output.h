// Buffered report output: immediate on a console, otherwise blocks of whole
// lines, and a failing sink never stops the caller.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct output {
  // Writes all of the bytes or reports failure.
  bool (*sink)(void *context, const char *data, size_t size);
  void *context;
  bool immediate;  // flush after every text, so a console shows it at once
  bool crlf;       // text-mode line ends: each "\n" is written as "\r\n"
  bool failed;     // some text could not be written; later texts are dropped
  std::string pending;
};

constexpr size_t OUTPUT_BLOCK = size_t{64} * 1024;

output make_output(bool (*sink)(void *, const char *, size_t), void *context, bool immediate, bool crlf);
// A text is written in pieces, then ended: a console shows it once it ends.
void append_text(output &out, std::string_view piece);
void end_text(output &out);
void write_text(output &out, std::string_view text);  // one whole text
// True when everything written so far reached the sink.
bool flush_output(output &out);
