#include "output.h"

output make_output(bool (*sink)(void *, const char *, size_t), void *context, bool immediate, bool crlf) {
  return {sink, context, immediate, crlf, false, std::string()};
}

bool flush_output(output &out) {
  if (!out.failed && !out.pending.empty() && !out.sink(out.context, out.pending.data(), out.pending.size()))
    out.failed = true;
  out.pending.clear();
  return !out.failed;
}

void append_text(output &out, std::string_view piece) {
  if (out.failed)
    return;
  if (!out.crlf) {
    out.pending.append(piece);
    return;
  }
  for (char c : piece) {
    if (c == '\n')
      out.pending += '\r';
    out.pending += c;
  }
}

// A block goes out at a line's end, so that a report that stops there for
// good (the tool ended by a second interrupt, say) holds only whole lines.
void end_text(output &out) {
  if (out.immediate || (out.pending.size() >= OUTPUT_BLOCK && out.pending.back() == '\n'))
    flush_output(out);
}

void write_text(output &out, std::string_view text) {
  append_text(out, text);
  end_text(out);
}
