#pragma once
// A note with an author at a fixed position of a sheet; independent of the cell store.

#include <cstdint>
#include <string>

#include "core/rwlock.hpp"
#include "core/shared.hpp"

namespace tabulon {

struct Comment : SharedRecord {
  Comment(std::uint32_t row, std::uint16_t column, std::string text, std::string author)
      : row(row), column(column), text(std::move(text)), author(std::move(author)) {}

  mutable TinyRwLock lock;  // guards text and author; the position never changes
  const std::uint32_t row;
  const std::uint16_t column;
  std::string text;
  std::string author;
};

using CommentRef = Shared<Comment>;

}  // namespace tabulon
