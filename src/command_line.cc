#include "command_line.h"

std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (in_word)
        words.push_back(word);
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
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
