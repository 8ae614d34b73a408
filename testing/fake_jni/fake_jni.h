// A stand-in for the Java virtual machine's JNI environment, for tests of the
// native entry points. It implements only the seven string functions the
// module may call; every other slot of the function table aborts the test
// with the slot number, so an unexpected JNI call cannot pass unnoticed.
//
// Everything the entry points do with strings is logged (borrows, releases,
// new strings) and misuse is collected as faults, so a test can assert the
// order of borrows and releases and that nothing was left borrowed.
//
// A refusal (of a borrow or of a new string) leaves an OutOfMemoryError
// pending, as in the JVM: from then on only ReleaseStringUTFChars and
// ReleaseStringChars may be called, and any other string function is
// recorded as a fault and answers null (or 0) without doing anything. The
// JVM clears the exception when Java catches it after the native method has
// returned; a test that makes another call in the same Env says so with
// clear_exception().
//
// One Env per thread, as with a real JNIEnv: the fake takes no lock.
#ifndef ZOZUDU_TESTING_FAKE_JNI_H
#define ZOZUDU_TESTING_FAKE_JNI_H

#include <jni.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fakejni {

class Env {
 public:
  enum class Kind {
    BorrowUTF,     // GetStringUTFChars handed out bytes
    ReleaseUTF,    // ReleaseStringUTFChars was called
    BorrowChars,   // GetStringChars handed out units
    ReleaseChars,  // ReleaseStringChars was called
    Length,        // GetStringLength was called
    NewUTF,        // NewStringUTF made a string
    NewString,     // NewString made a string
    Refused,       // a borrow or a new string was refused on request
  };

  struct Event {
    Kind kind;
    // The string borrowed, released, measured or made; null for a
    // refused new string.
    jstring string;
    // Borrows: the buffer handed out. Releases: the pointer given back.
    // NewUTF/NewString and refused new strings: the caller's input.
    const void* pointer;
    // The label of `string`; for a refused new string "new-utf" or
    // "new-string".
    std::string label;
    // Borrows only: the caller passed a non-null isCopy flag.
    bool is_copy_requested = false;
  };

  Env();
  ~Env();
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

  // The environment pointer to hand to an entry point.
  JNIEnv* jni() noexcept;

  // A Java string of these UTF-16 units. The label names it in the event
  // log and in faults; it defaults to the text itself.
  jstring make(std::u16string units, std::string label = "");
  // The same from standard UTF-8 (four-byte sequences become surrogate
  // pairs; malformed input becomes U+FFFD).
  jstring make_utf8(const std::string& standard_utf8, std::string label = "");

  // Every later GetStringUTFChars/GetStringChars of `s` returns null.
  void refuse_borrow(jstring s);
  // The n-th borrow attempt (1-based, of either kind, counted over this
  // Env's whole life; clear_events does not reset it) returns null.
  void refuse_nth_borrow(int n);
  // While on, NewStringUTF and NewString return null, as an out-of-memory
  // virtual machine would.
  void refuse_new_strings(bool on);
  // Runs at each refusal, after it is logged: a test can mark the moment
  // in a log of its own (the simulated machine's calls, for example).
  void on_refusal(std::function<void()> hook);

  // A refusal left an exception pending that no clear_exception() cleared.
  bool exception_pending() const;
  // What the JVM does once the native method has returned and Java has
  // caught the exception: the next call starts with none pending.
  void clear_exception();

  const std::vector<Event>& events() const;
  // One line per event: "borrow root", "release root", "borrow-chars x",
  // "release-chars x", "length x", "new-utf", "new-string", "refused x".
  std::vector<std::string> trace() const;
  void clear_events();

  // Buffers handed out and not given back yet.
  int outstanding() const;
  // Misuse seen so far, one readable line each.
  std::vector<std::string> faults() const;
  // No faults and nothing left borrowed.
  bool clean() const;
  // Logged borrows (refused ones included) whose caller passed a
  // non-null isCopy flag; clear_events resets it with the log.
  int is_copy_requests() const;

  // The UTF-16 units of a string made here (empty for null or foreign).
  std::u16string units(jstring s) const;
  // Those units as standard UTF-8, for readable assertions; a lone
  // surrogate appears as its own three-byte sequence.
  std::string utf8(jstring s) const;
  // The exact bytes NewStringUTF received for this result.
  std::string new_utf_bytes(jstring s) const;
  // This result came from NewStringUTF bytes that were not valid modified
  // UTF-8 (they were then taken byte by byte as U+0000..U+00FF).
  bool invalid_utf(jstring s) const;
  bool is_null(jstring s) const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// Pure conversions, exposed so tests can check them directly.
std::string to_modified_utf8(const std::u16string& units);
std::u16string from_standard_utf8(const std::string& bytes);
std::string to_standard_utf8(const std::u16string& units);

}  // namespace fakejni

#endif
