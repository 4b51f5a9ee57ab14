#pragma once
// Reads a firmware file line by line with the readers' line limit. A line whose text (without its
// CR LF) does not fit the limit is reported as too long, so it can never be half-read and its
// remainder taken for another record.
#include <cstdio>
#include <string>
#include <vector>

namespace quorlink {

class RecordLines {
  public:
    enum class Result { Line, TooLong, End };

    // `limit` counts the characters a line may take including its line end and a terminator,
    // so a line holds at most limit - 2 characters of text.
    RecordLines(std::FILE* file, size_t limit);

    // The next line's text without CR/LF in `line`.
    Result next(std::string& line);

  private:
    std::FILE* file_;
    size_t maximumText_;
    std::vector<char> chunk_;
};

}  // namespace quorlink
