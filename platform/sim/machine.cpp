#include "platform/sim/machine.h"

#include <cstdlib>

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
  for (void* block : m.kept_blocks) std::free(block);
  m = Machine{};
  stage_default(m);
}

namespace {

constexpr const char* op_names[] = {
#define ZOZUDU_SIM_NAME(name, kind, failure) #name,
    ZOZUDU_WIN_OPERATIONS(ZOZUDU_SIM_NAME) ZOZUDU_CRT_OPERATIONS(ZOZUDU_SIM_NAME)
#undef ZOZUDU_SIM_NAME
};
constexpr bool same_text(const char* a, const char* b) {
  return *a == *b && (*a == '\0' || same_text(a + 1, b + 1));
}
constexpr bool op_is_method[] = {
#define ZOZUDU_SIM_METHOD(name, kind, failure) same_text(#kind, "method"),
    ZOZUDU_WIN_OPERATIONS(ZOZUDU_SIM_METHOD) ZOZUDU_CRT_OPERATIONS(ZOZUDU_SIM_METHOD)
#undef ZOZUDU_SIM_METHOD
};
constexpr const char* op_failures[] = {
#define ZOZUDU_SIM_FAILURE(name, kind, failure) failure,
    ZOZUDU_WIN_OPERATIONS(ZOZUDU_SIM_FAILURE) ZOZUDU_CRT_OPERATIONS(ZOZUDU_SIM_FAILURE)
#undef ZOZUDU_SIM_FAILURE
};
static_assert(sizeof op_names / sizeof op_names[0] == operation_count, "one name per operation");

// A COM method's row "Interface_Method" is logged as "Interface::Method".
const std::vector<std::string>& log_names() {
  static const auto* names = [] {
    auto* made = new std::vector<std::string>;
    for (int i = 0; i < operation_count; ++i) {
      std::string name = op_names[i];
      if (op_is_method[i]) name.replace(name.find('_'), 1, "::");
      made->push_back(name);
    }
    return made;
  }();
  return *names;
}

}  // namespace

const char* op_name(Op op) { return log_names()[static_cast<std::size_t>(op)].c_str(); }

const char* op_failure(Op op) { return op_failures[static_cast<int>(op)]; }

void fail(Op operation, FailMode mode, long status, int after) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  storage().faults[operation] = Fault{mode, status, after};
}

void clear_faults() {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  storage().faults.clear();
}

bool take_fault(Op operation, long* status) {
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

Holdings holdings() {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  const Machine& m = storage();
  Holdings now;
  now.registry_keys = m.registry.open_handles();
  now.find_handles = m.find_handles_open;
  now.device_contexts = m.display.device_contexts_out;
  now.com_objects = m.shell_links.live_objects;
  now.runtime_blocks = static_cast<int>(m.runtime_blocks.size());
  now.current_directory = m.files.current_directory();
  now.user_locale = m.locale.user_default;
  return now;
}

void* hand_out_block(void* block) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  if (block) storage().runtime_blocks.insert(block);
  return block;
}

void take_back_block(void* block, bool kept) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  if (!block) return;
  Machine& m = storage();
  m.runtime_blocks.erase(block);
  if (kept) {
    m.kept_blocks.push_back(block);
  } else {
    std::free(block);
  }
}

bool log_call(Op operation, const std::string& arguments, long* status) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  Machine& m = storage();
  Call call{operation, op_name(operation)};
  if (!arguments.empty()) call.line += " " + arguments;
  if (m.call_observer) m.call_observer(call);
  m.calls.push_back(std::move(call));
  return take_fault(operation, status);
}

bool count_call(Op operation, long* status) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  ++storage().counted_calls[operation];
  return take_fault(operation, status);
}

std::string quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

int count_calls(const std::string& prefix) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  int n = 0;
  for (const auto& call : storage().calls) {
    if (call.line.compare(0, prefix.size(), prefix) == 0) ++n;
  }
  return n;
}

int count_calls(Op operation) {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  const Machine& m = storage();
  int n = 0;
  for (const auto& call : m.calls) n += call.op == operation;
  auto counted = m.counted_calls.find(operation);
  if (counted != m.counted_calls.end()) n += static_cast<int>(counted->second);
  return n;
}

std::vector<std::string> call_lines() {
  std::lock_guard<std::recursive_mutex> hold(machine_lock());
  std::vector<std::string> lines;
  for (const auto& call : storage().calls) lines.push_back(call.line);
  return lines;
}

}  // namespace sim
