// tavik-cli book: what the opening book says about a line.
#ifndef TAVIK_TOOLS_BOOK_COMMAND_H
#define TAVIK_TOOLS_BOOK_COMMAND_H

#include <string>
#include <vector>

namespace tavik_tools {

// `args` are the words after "book": LINE [--draw N]. Prints the book's candidates for the line
// with their values and the move chosen, and answers true; on bad input answers false with one
// line in `error` and prints nothing.
bool BookCommand(const std::vector<std::string>& args, std::string& error);

}  // namespace tavik_tools

#endif
