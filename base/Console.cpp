#include "base/Console.h"

#include <iostream>

namespace kelvor {

void printOut(std::string_view text) { std::cout << text << std::flush; }

void printErr(std::string_view text) { std::cerr << text << std::flush; }

}  // namespace kelvor
