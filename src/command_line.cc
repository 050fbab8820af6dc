#include "command_line.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> words(1);
  bool quoted = false;
  size_t i = 0;
  for (; i < line.size() && (quoted || !is_blank(line[i])); ++i) {
    if (line[i] == '"')
      quoted = !quoted;
    else
      words[0] += line[i];
  }

  std::string word;
  bool in_word = false;
  quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (!quoted && is_blank(c)) {
      if (in_word)
        words.push_back(word);
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (line.compare(i, 2, "\\\"") == 0) {
      word += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else {
      word += c;
    }
  }
  if (in_word)
    words.push_back(word);
  return words;
}
