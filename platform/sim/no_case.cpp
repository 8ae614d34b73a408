#include "platform/sim/no_case.h"

namespace sim {

std::string upper_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace sim
