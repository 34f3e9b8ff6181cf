#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/regex.hpp"

namespace tabulon {
namespace {

using Engine = Regex::Engine;

Regex compiled(std::string_view pattern, Engine engine = Engine::JitWhenAvailable) {
  auto result = Regex::compile(pattern, engine);
  EXPECT_TRUE(result.ok()) << pattern << ": " << result.error().message;
  return std::move(result).value();
}

struct MatchCase {
  const char* pattern;
  const char* text;
  bool expected;
};

// Facts of Perl syntax with Unicode properties, checked on both engines.
const MatchCase kMatchCases[] = {
    // Case-insensitive through the inline flag, beyond ASCII. Case folding is simple
    // (one character to one character): sharp s folds to capital sharp s, never to "SS".
    {"(?i)total", "Grand TOTAL", true},
    {"(?i)\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},         // été / ÉTÉ
    {"(?i)stra\xC3\x9F" "e", "STRA\xE1\xBA\x9E" "E", true},        // straße / STRAẞE
    {"(?i)stra\xC3\x9F" "e", "STRASSE", false},
    {"(?i)\xCF\x83", "\xCF\x82", true},                           // σ / final ς
    {"(?i)k", "\xE2\x84\xAA", true},                              // Kelvin sign
    {"total", "Grand TOTAL", false},
    // Unicode properties for the character classes and word boundaries.
    {"^\\w+$", "stra\xC3\x9F" "e", true},
    {"^\\d$", "\xD9\xA3", true},                                  // Arabic-Indic three
    {"\\b\xC3\xA9t\xC3\xA9\\b", "un \xC3\xA9t\xC3\xA9 chaud", true},
    {"\\bt\\b", "\xC3\xA9t\xC3\xA9", false},
    {"^.$", "\xE2\x82\xAC", true},                                // one character, three bytes
    // Look-ahead and look-behind, positive and negative.
    {"total(?=:)", "total: 5", true},
    {"total(?=:)", "totals: 5", false},
    {"^(?!sub)total", "subtotal", false},
    {"(?<=\\$)\\d+", "cost $15", true},
    {"(?<=\\$)\\d+", "cost 15", false},
    {"(?<!-)\\b5\\b", "-5", false},
    // Backreferences, numbered and named.
    {"(\\w)\\1", "hello", true},
    {"(\\w)\\1", "helo", false},
    {"(?<q>['\"]).*\\k<q>", "say 'hi'", true},
    {"(?<q>['\"]).*\\k<q>", "say 'hi\"", false},
    {"(?i)(a)\\1", "aA", true},
    // Inline flags: scoped, switched on and off mid-pattern, dot-all, multi-line, extended.
    {"a(?i)b", "aB", true},
    {"a(?i)b", "AB", false},
    {"(?i:a)b", "Ab", true},
    {"(?i:a)b", "AB", false},
    {"(?i)a(?-i)b", "Ab", true},
    {"(?i)a(?-i)b", "AB", false},
    {"a.b", "a\nb", false},
    {"(?s)a.b", "a\nb", true},
    {"^b", "a\nb", false},
    {"(?m)^b$", "a\nb", true},
    {"(?x) t o t a l  # spaced out", "total", true},
    // Unanchored search versus anchors.
    {"5", "15", true},
    {"^5$", "15", false},
    {"^5$", "5", true},
    {"^5$", "5\n", true},  // $ also matches before a final newline, as in Perl
    {"^$", "", true},
    {"x*", "", true},
    {"\\A5\\z", "5\n", false},
};

TEST(Regex, PerlSyntaxWithUnicodeProperties) {
  for (Engine engine : {Engine::JitWhenAvailable, Engine::Interpreter}) {
    for (const MatchCase& c : kMatchCases) {
      EXPECT_EQ(compiled(c.pattern, engine).matches(c.text), c.expected)
          << c.pattern << " on \"" << c.text << "\""
          << (engine == Engine::Interpreter ? " (interpreter)" : "");
    }
  }
}

TEST(Regex, TextsAreViewsNotCStrings) {
  const std::string with_nul("a\0b", 3);
  EXPECT_TRUE(compiled("a\\x00b").matches(with_nul));
  // Only the viewed part is searched.
  EXPECT_FALSE(compiled("b").matches(std::string_view("ab").substr(0, 1)));
  EXPECT_TRUE(compiled("^$").matches(std::string_view()));
}

TEST(Regex, CompileErrorsNameTheCodePointPosition) {
  struct Case {
    const char* pattern;
    const char* message;
  };
  const Case cases[] = {
      {"(?i)(", "missing closing parenthesis at position 5"},
      {"(", "missing closing parenthesis at position 1"},
      // Positions count characters, not bytes: "é" and "ü" take two bytes each.
      {"\xC3\xA9(", "missing closing parenthesis at position 2"},
      {"(?i)\xC3\xBC[", "missing terminating ] for character class at position 6"},
      {"x{2,1}", "numbers out of order in {} quantifier at position 5"},
      {"*", "quantifier does not follow a repeatable item at position 0"},
      {"(?<=a+)b", "lookbehind assertion is not fixed length at position 0"},
      {"a\\C", "using \\C is disabled by the application at position 3"},
      {"ab\xFF", "UTF-8 error: illegal byte (0xfe or 0xff) at position 2"},
  };
  for (const Case& c : cases) {
    auto result = Regex::compile(c.pattern);
    ASSERT_FALSE(result.ok()) << c.pattern;
    EXPECT_EQ(result.error().kind, ErrorKind::PatternCompile) << c.pattern;
    EXPECT_EQ(result.error().message, c.message) << c.pattern;
  }
}

TEST(Regex, ResourceLimitMeansNoMatchAndGivesUpQuickly) {
  const std::string thirty_a_then_b = std::string(30, 'a') + "b";
  for (Engine engine : {Engine::JitWhenAvailable, Engine::Interpreter}) {
    const Regex nested = compiled("(a+)+$", engine);
    // Without a limit the second pattern would find the "x", far too late.
    const Regex nested_or_x = compiled("(a+)+c|x", engine);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(nested.matches(thirty_a_then_b));
    EXPECT_FALSE(nested_or_x.matches(thirty_a_then_b + " x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // The same thread's scratch state still serves the next match.
    EXPECT_TRUE(nested.matches("aaa"));
  }
}

TEST(Regex, LimitsLeaveRoomForTheLongestCellText) {
  // A capturing group repeated once per character of a 32,767-character text: deep
  // backtracking state in both engines, but a linear amount of work.
  std::string text;
  for (int i = 0; i < 32766; ++i) text += i % 3 != 0 ? 'a' : 'b';
  text += 'c';
  for (Engine engine : {Engine::JitWhenAvailable, Engine::Interpreter}) {
    EXPECT_TRUE(compiled("((a)|(b))*c", engine).matches(text));
    EXPECT_TRUE(compiled("(?i)^(?:a|b)+C$", engine).matches(text));
  }
}

TEST(Regex, SharedAcrossThreadsMatchesLikeOneThread) {
  std::vector<Regex> patterns;
  for (const char* p : {"(?i)total", "(\\w)\\1", "(?<=\\$)\\d+", "^5$", "(a+)+$"}) {
    patterns.push_back(compiled(p));
  }
  std::vector<std::string> texts = {"Grand TOTAL", "hello", "$15", "5", "15", ""};
  for (int i = 0; i < 200; ++i) {
    texts.push_back(std::string(static_cast<std::size_t>(i % 25), 'a') + (i % 2 ? "b" : ""));
    texts.push_back("row " + std::to_string(i) + (i % 7 ? " total" : " $" + std::to_string(i)));
  }
  auto run = [&] {
    std::vector<bool> results;
    for (const Regex& regex : patterns) {
      for (const std::string& text : texts) results.push_back(regex.matches(text));
    }
    return results;
  };
  const std::vector<bool> expected = run();
  std::vector<int> differing_rounds(4, 0);
  std::vector<std::thread> threads;
  for (int& differing : differing_rounds) {
    threads.emplace_back([&] {
      for (int round = 0; round < 5; ++round) differing += run() != expected;
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(differing_rounds, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tabulon
