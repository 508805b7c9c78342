// Example lines whose features do not ascend within their kind, with the
// reason every reader gives for refusing them.
#pragma once

#include <string>

namespace kelvor::testing {

struct OutOfOrderLine {
  std::string line, rejection;
};

inline const OutOfOrderLine kOutOfOrderLines[] = {
    {"1 3:1 2:1", "word 3 is not in ascending order (index 2 after 3): \"2:1\""},
    {"1 qid:4 3:1 string:1:a 3:2", "word 5 is not in ascending order (repeated index 3): \"3:2\""},
    {"1 string:3:a 1:1 string:2:b",
     "word 4 is not in ascending order (string number 2 after 3): \"string:2:b\""},
};

}  // namespace kelvor::testing
