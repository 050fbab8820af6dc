// The command-line splitter against a token-by-token model.
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"

namespace {

// Tokens first, then words: a different road to the same rules.
enum token_kind { BLANK, QUOTE, LITERAL };
struct token {
  token_kind kind;
  char byte;
};

// The program's word ends at the first blank with an even count of quotes
// before it; its quotes are dropped and nothing else is special.
size_t program_word_end(const std::string &line) {
  size_t quotes = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"')
      ++quotes;
    else if ((line[i] == ' ' || line[i] == '\t') && quotes % 2 == 0)
      return i;
  }
  return line.size();
}

std::vector<std::string> model_split(const std::string &line) {
  size_t end = program_word_end(line);
  std::string program;
  for (size_t i = 0; i < end; ++i)
    if (line[i] != '"')
      program += line[i];
  std::vector<token> tokens;
  for (size_t i = end; i < line.size(); ++i) {
    if (line.compare(i, 2, "\\\"") == 0)
      tokens.push_back({LITERAL, line[++i]});
    else if (line[i] == '"')
      tokens.push_back({QUOTE, '"'});
    else if (line[i] == ' ' || line[i] == '\t')
      tokens.push_back({BLANK, line[i]});
    else
      tokens.push_back({LITERAL, line[i]});
  }
  std::vector<std::string> words{program};
  std::string *word = nullptr;
  bool quoted = false;
  for (const token &t : tokens) {
    if (t.kind == BLANK && !quoted) {
      word = nullptr;
      continue;
    }
    if (!word) {
      words.emplace_back();
      word = &words.back();
    }
    if (t.kind == QUOTE)
      quoted = !quoted;
    else
      word->push_back(t.byte);
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  std::string line(reinterpret_cast<const char *>(data), size);
  if (split_command_line(line) != model_split(line))
    abort();
  return 0;
}
