#pragma once
// Regular expressions over UTF-8 text: Perl syntax (look-around, backreferences, inline
// flags), Unicode properties for \w, \d, \b and case-insensitive matching.
//
// One compiled Regex is shared read-only by any number of threads at once; the scratch
// memory a match needs lives per thread, so matching never locks.

#include <memory>
#include <string_view>

#include "core/result.hpp"

struct pcre2_real_code_8;

namespace tabulon {

class Regex {
 public:
  enum class Engine {
    JitWhenAvailable,  // machine code when the platform allows it, else the interpreter
    Interpreter,       // always the interpreter (the fallback path, reachable for tests)
  };

  // Fails with ErrorKind::PatternCompile and a message such as
  // "missing closing parenthesis at position 5", the position counted in code points.
  static Result<Regex> compile(std::string_view pattern,
                               Engine engine = Engine::JitWhenAvailable);

  Regex(Regex&&) noexcept = default;
  Regex& operator=(Regex&&) noexcept = default;
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;
  ~Regex() = default;

  // True when the pattern matches anywhere in `text`, which must be valid UTF-8.
  // A match that runs into a resource limit counts as no match.
  bool matches(std::string_view text) const noexcept;

  bool uses_jit() const noexcept { return jit_; }

 private:
  struct CodeFree {
    void operator()(pcre2_real_code_8* code) const noexcept;
  };

  Regex(pcre2_real_code_8* code, bool jit) noexcept : code_(code), jit_(jit) {}

  std::unique_ptr<pcre2_real_code_8, CodeFree> code_;
  bool jit_ = false;
};

}  // namespace tabulon
