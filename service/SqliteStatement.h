// A prepared SQLite statement with bound parameters: values are never written into SQL text.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pspkvx::service {

struct DatabaseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters are numbered from 1, as SQLite numbers them.
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<int64_t>(value)); }
  Statement& Bind(int index, double value);
  Statement& Bind(int index, std::string_view text);  // bound as text
  Statement& BindBlob(int index, std::string_view bytes);

  // True while there is a row; false when done. Throws on an error.
  bool Step();
  // Runs a statement that returns no rows.
  void Run() {
    while (Step()) {
    }
  }

  int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  double Real(int column) const { return sqlite3_column_double(statement_, column); }
  std::string Text(int column) const;  // text or blob bytes, empty for NULL

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace pspkvx::service
