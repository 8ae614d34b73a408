// Windows compares key, value and file names without regard to ASCII case.
#pragma once

#include <string>

namespace sim {

std::string upper_ascii(std::string text);

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return upper_ascii(a) < upper_ascii(b);
  }
};

}  // namespace sim
