#include "core/regex.hpp"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <string>

namespace tabulon {
namespace {

// Resource limits of one match call. A backtracking pattern such as (a+)+$ on thirty 'a'
// and a 'b' needs about 2^30 steps; the limits turn that into a quick "no match".
//
// Match limit: 1,000,000 steps, a tenth of the library default. On this 2-core machine
// the pathological case above gives up after about 3 ms with JIT and 17 ms in the
// interpreter, while an ordinary pattern still has some 30 steps per character for the
// longest text a cell holds (32,767 characters).
constexpr std::uint32_t kMatchLimit = 1'000'000;
// Interpreter only (JIT ignores both): nesting of backtracking frames and the heap those
// frames take. A repeated group over a 32,767-character text nests about 100,000 deep at
// roughly 150-200 bytes a frame.
constexpr std::uint32_t kDepthLimit = 250'000;
constexpr std::uint32_t kHeapLimitKiB = 64 * 1024;
// JIT only: the machine stack of the compiled code. It is reserved, not committed, so a
// generous maximum costs address space only; a repeated capturing group over a
// 32,767-character text needs more than 1 MiB.
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;

// The scratch memory of one thread's matches, created on its first match and reused for
// every later match and pattern; never touched by another thread.
class ThreadMatchState {
 public:
  ThreadMatchState() noexcept = default;
  ~ThreadMatchState() {
    if (jit_stack_ != nullptr) pcre2_jit_stack_free(jit_stack_);
    pcre2_match_context_free(context_);
    pcre2_match_data_free(data_);
  }
  ThreadMatchState(const ThreadMatchState&) = delete;
  ThreadMatchState& operator=(const ThreadMatchState&) = delete;

  // Creates what is missing; false while memory for it cannot be had.
  bool prepare() noexcept {
    if (data_ == nullptr) {
      // One ovector pair: only "matched or not" is needed; a pattern with groups then
      // returns 0 ("ovector too small"), which still means a match.
      data_ = pcre2_match_data_create(1, nullptr);
    }
    if (context_ == nullptr) {
      context_ = pcre2_match_context_create(nullptr);
      if (context_ == nullptr) return false;
      pcre2_set_match_limit(context_, kMatchLimit);
      pcre2_set_depth_limit(context_, kDepthLimit);
      pcre2_set_heap_limit(context_, kHeapLimitKiB);
      // Without a stack of its own JIT code runs on 32 KiB of machine stack, which is
      // still correct, only more often exhausted.
      jit_stack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
      if (jit_stack_ != nullptr) pcre2_jit_stack_assign(context_, nullptr, jit_stack_);
    }
    return data_ != nullptr;
  }
  pcre2_match_data* data() const noexcept { return data_; }
  pcre2_match_context* context() const noexcept { return context_; }

 private:
  pcre2_match_data* data_ = nullptr;
  pcre2_match_context* context_ = nullptr;
  pcre2_jit_stack* jit_stack_ = nullptr;
};

// Empty views may carry a null pointer, which the library refuses even with length 0.
PCRE2_SPTR code_units(std::string_view text) noexcept {
  static constexpr char kEmpty[] = "";
  return reinterpret_cast<PCRE2_SPTR>(text.data() != nullptr ? text.data() : kEmpty);
}

// The library reports error offsets in bytes; users count characters.
std::size_t code_point_index(std::string_view utf8, std::size_t byte_offset) noexcept {
  if (byte_offset > utf8.size()) byte_offset = utf8.size();
  std::size_t count = 0;
  for (std::size_t i = 0; i < byte_offset; ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string error_message(int error_code) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(error_code, buffer, sizeof buffer);
  if (length < 0) return "unknown pattern error " + std::to_string(error_code);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

}  // namespace

void Regex::CodeFree::operator()(pcre2_real_code_8* code) const noexcept {
  pcre2_code_free(code);
}

Result<Regex> Regex::compile(std::string_view pattern, Engine engine) {
  // \C would step into the middle of a UTF-8 character, after which matching is undefined.
  constexpr std::uint32_t kOptions = PCRE2_UTF | PCRE2_UCP | PCRE2_NEVER_BACKSLASH_C;
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  pcre2_code* code = pcre2_compile(code_units(pattern), pattern.size(), kOptions, &error_code,
                                   &error_offset, nullptr);
  if (code == nullptr) {
    return Error{ErrorKind::PatternCompile,
                 error_message(error_code) + " at position " +
                     std::to_string(code_point_index(pattern, error_offset))};
  }
  // Compiled once here, before the pattern is shared; a platform that forbids executable
  // memory makes this fail, and the interpreter takes over.
  const bool jit = engine == Engine::JitWhenAvailable &&
                   pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
  return Regex(code, jit);
}

bool Regex::matches(std::string_view text) const noexcept {
  if (!code_) return false;
  thread_local ThreadMatchState state;
  if (!state.prepare()) return false;
  // The JIT entry skips pcre2_match's option and validity checks, a measurable share of a
  // match on short cell texts; the texts are valid UTF-8 by construction.
  const int rc = jit_ ? pcre2_jit_match(code_.get(), code_units(text), text.size(), 0, 0,
                                        state.data(), state.context())
                      : pcre2_match(code_.get(), code_units(text), text.size(), 0,
                                    PCRE2_NO_UTF_CHECK, state.data(), state.context());
  // Any failure (a limit, the JIT stack, memory) counts as no match.
  return rc >= 0;
}

}  // namespace tabulon
