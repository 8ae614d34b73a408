// createSC.
#include <cstring>

#include "bridge/borrowed_utf.h"
#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"
#include "shell/link_path.h"
#include "shell/shell_link.h"

namespace {

// createSC's six texts, borrowed seventh argument first and then the second to
// the sixth (after a refusal none further), and released in that same order.
class ShortcutTexts {
 public:
  enum { show_state, target, description, working_directory, arguments, icon, count };

  ShortcutTexts(bridge::JniCall& call, jstring show_state_text, jstring target_text,
                jstring description_text, jstring working_directory_text, jstring arguments_text,
                jstring icon_text) noexcept
      : texts_{{call, show_state_text},        {call, target_text},    {call, description_text},
               {call, working_directory_text}, {call, arguments_text}, {call, icon_text}} {}
  ~ShortcutTexts() {
    for (auto& text : texts_) text.release();  // array order: the order of the borrows
  }
  ShortcutTexts(const ShortcutTexts&) = delete;
  ShortcutTexts& operator=(const ShortcutTexts&) = delete;

  bool all_borrowed() const noexcept {
    for (const auto& text : texts_) {
      if (!text) return false;
    }
    return true;
  }
  const char* operator[](int which) const noexcept { return texts_[which].c_str(); }

 private:
  bridge::BorrowedUtf texts_[count];
};

}  // namespace

// Writes a shortcut file at linkPath: 1 when it was saved, 0 otherwise (also
// for a null or unborrowable argument, a link path too long for a Windows
// path, or no memory for the working buffers).
jboolean JNICALL Java_qav_Native_createSC(JNIEnv* env, jobject, jstring linkPath,
                                          jstring targetPath, jstring description,
                                          jstring workingDir, jstring arguments, jstring iconPath,
                                          jstring showState) {
  bridge::JniCall call(env);
  ShortcutTexts texts(call, showState, targetPath, description, workingDir, arguments, iconPath);
  if (!texts.all_borrowed()) return bridge::truth(false);
  int show = std::strcmp(texts[ShortcutTexts::show_state], "Minimized") == 0 ? SW_SHOWMINNOACTIVE
                                                                             : SW_SHOW;
  // The last borrow: a refusal there ends the call before any platform work.
  auto link_path = shell::narrow_link_path(env, linkPath);
  if (!link_path) return bridge::truth(false);
  shell::ShellLinkFields fields{texts[ShortcutTexts::target],
                                texts[ShortcutTexts::description],
                                texts[ShortcutTexts::working_directory],
                                texts[ShortcutTexts::arguments],
                                texts[ShortcutTexts::icon],
                                show};
  bool saved = shell::save_shell_link(link_path.get(), fields);
  link_path.reset();
  return bridge::truth(saved);
}
