#pragma once
// The book as one compact JSON document: the external interface the file-producing program
// reads, so member order, omissions and number and string forms are fixed.

#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "core/book.hpp"
#include "core/result.hpp"
#include "core/sheet.hpp"

namespace tabulon {

// Where the writer puts its bytes: a window [next, end) of room that `grow` enlarges. A
// sink owned by the caller lets the binding write straight into the final str object, so a
// document of tens of megabytes is neither copied nor scanned again for non-ASCII bytes.
class JsonSink {
 public:
  void append(std::string_view piece) {
    if (piece.size() > static_cast<std::size_t>(end_ - next_)) grow(piece.size());
    std::memcpy(next_, piece.data(), piece.size());
    next_ += piece.size();
  }
  void push_back(char c) {
    if (next_ == end_) grow(1);
    *next_++ = c;
  }
  std::size_t size() const noexcept { return static_cast<std::size_t>(next_ - begin_); }
  // Whether any byte of 0x80 and up was written (the writer flags them as it copies text).
  bool ascii() const noexcept { return ascii_; }
  void note_non_ascii() noexcept { ascii_ = false; }
  // Room for `more` bytes past size() now, so that later appends need not grow.
  void reserve_more(std::size_t more) {
    if (more > static_cast<std::size_t>(end_ - next_)) grow(more);
  }

 protected:
  JsonSink() = default;
  JsonSink(const JsonSink&) = delete;
  JsonSink& operator=(const JsonSink&) = delete;
  ~JsonSink() = default;

  // Makes room for at least `more` bytes past size(), keeping the bytes written; sets the
  // window through `rebase`. May throw (std::bad_alloc, or the owner's own exception).
  virtual void grow(std::size_t more) = 0;
  void rebase(char* begin, std::size_t size, std::size_t capacity) noexcept {
    begin_ = begin;
    next_ = begin + size;
    end_ = begin + capacity;
  }

 private:
  char* begin_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  bool ascii_ = true;
};

// A sink that collects the text in a std::string.
class StringSink final : public JsonSink {
 public:
  StringSink() = default;
  std::string take() &&;

 private:
  void grow(std::size_t more) override;
  std::string text_;
};

// The whole book. Holds the book's lock shared throughout and takes each sheet's, then each
// cell's or comment's, shared one at a time. Nothing the model holds makes this fail; running
// out of memory is not an Error here: std::bad_alloc propagates and the binding reports it as
// MemoryError.
// The second form appends to `out` and returns the bytes written.
Result<std::string> write_document(const Book& book);
Result<std::size_t> write_document(const Book& book, JsonSink& out);

// {"sheets":[...]} for `sheets`, appended to `out`. The caller keeps the list itself stable
// (the book's read lock); sheet, cell and comment locks are taken here.
void write_sheets(std::span<const SheetRef> sheets, JsonSink& out);

// One sheet object, appended to `out`, under the sheet's read lock.
void write_sheet(const Sheet& sheet, JsonSink& out);

// `text` as a JSON string with the minimal escaping: '"', '\\' and the characters below
// U+0020 only; everything else, non-ASCII included, is copied as is.
void write_json_string(std::string_view text, JsonSink& out);

}  // namespace tabulon
