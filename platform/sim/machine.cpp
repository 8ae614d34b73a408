#include "platform/sim/machine.h"

namespace sim {

namespace {
Machine& storage() {
  static Machine* m = [] {
    auto* fresh = new Machine;  // never destroyed: the module may call in during exit
    stage_default(*fresh);
    return fresh;
  }();
  return *m;
}
}  // namespace

Machine& machine() { return storage(); }

std::recursive_mutex& machine_lock() {
  // Never destroyed, like the machine: the module's exit handlers still call in.
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

void reset() {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  Machine& m = storage();
  m = Machine{};
  stage_default(m);
}

void fail(const std::string& operation, FailMode mode, long status, int after) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  storage().faults[operation] = Fault{mode, status, after};
}

void clear_faults() {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  storage().faults.clear();
}

bool take_fault(const std::string& operation, long* status) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  auto& faults = storage().faults;
  auto it = faults.find(operation);
  if (it == faults.end()) return false;
  if (it->second.after > 0) {
    --it->second.after;
    return false;
  }
  if (status) *status = it->second.status;
  if (it->second.mode == FailMode::once) faults.erase(it);
  return true;
}

void log_call(std::string line) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  Machine& m = storage();
  if (m.call_observer) m.call_observer(line);
  m.calls.push_back(std::move(line));
}

int count_calls(const std::string& prefix) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  int n = 0;
  for (const auto& line : storage().calls) {
    if (line.compare(0, prefix.size(), prefix) == 0) ++n;
  }
  return n;
}

}  // namespace sim
