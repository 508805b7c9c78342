// Progress and report output of the programs. Both streams behave as
// unbuffered: every piece is on its way to the terminal before the next
// step starts, so a fatal error never loses what was printed before it.
#pragma once

#include <string_view>

namespace kelvor {

void printOut(std::string_view text);
void printErr(std::string_view text);

}  // namespace kelvor
