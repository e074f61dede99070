// TagTable: the reader of the online service's replies and the store of its settings. It knows a
// fixed, ordered table of registered tags, each with a kind that says what to do when the tag is
// met, and turns a reply into values kept in the table (settings keys, comments, letter blocks)
// and an ordered list of records of named fields. Replies reach it through its fetcher
// (TagTableFetcher.h), which runs the requests.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pspkvx {

enum TagKind : int {
  TagField = 0,    // "<name>": the element's content becomes a field of the current record
  TagComment = 1,  // "//": the rest of the line becomes the entry's value
  TagSetting = 2,  // "KEY": optional white space, "=", white space; the rest of the line
  TagRecord = 3,   // "<save>": the opening tag starts a record, the closing tag ends it
  TagWrapper = 4,  // "<result>": the tag is skipped, its content read as usual
  TagBlock = 5,    // "<CHAR_A>": the element's content becomes the entry's value
};

struct TagEntry {
  std::string tag;
  std::string value;
  int kind = TagField;
};

// One record of a reply: its fields in order, each (registered tag text, element content).
struct ReplyRecord {
  std::vector<std::pair<std::string, std::string>> fields;
};

// The content of the record's first field of that name (exact), or none.
std::optional<std::string> RecordField(const ReplyRecord& record, const std::string& name);

class TagTable {
 public:
  // Registers the tags every table has: the two wrappers, the three record kinds, "//".
  TagTable();
  TagTable(const TagTable&) = delete;
  TagTable& operator=(const TagTable&) = delete;

  // Appends an entry with an empty value. An empty tag is refused (false): it would match
  // everywhere without consuming anything.
  bool RegisterTag(const std::string& tag, int kind);

  // Parses a reply (a text in which every line ends with a line feed): clears the record list,
  // fills records and the values of kind 1, 2 and 5 entries. 0 on success, -1 when the reply is
  // rejected (it does not begin with a registered tag or key, or closes a record that is not
  // open). Values set before a rejection stay. Reads at most length bytes and stops at a NUL.
  int ParseReply(const char* text, size_t length);

  // The value of the first entry, in table order, whose tag starts with name; false when none.
  bool LookupTag(const std::string& name, std::string& value) const;

  // Records of the last reply. A record pointer stays valid until the next reply is parsed.
  int RecordCount() const;
  const ReplyRecord* RecordAt(int index) const;  // null when out of range
  // Fills value and returns true when the record has the field (exact name); else leaves value.
  bool FieldValue(const ReplyRecord* record, const std::string& name, std::string& value) const;
  // Replaces the record's field of that name by appending (name, value) at its end; -1 without
  // such a record.
  int SetField(int record, const std::string& name, const std::string& value);
  // Appends an empty record and returns its index.
  int NewRecord();

  // Copies for display and tools: the entries in table order, the records in order.
  std::vector<TagEntry> Entries() const;
  std::vector<ReplyRecord> Records() const;

 private:
  struct Match {
    int index = -1;
    size_t length = 0;  // of the full tag text
    bool closing = false;
  };
  class Parser;

  int NewRecordLocked();
  int SetFieldLocked(int record, const std::string& name, std::string value);

  mutable std::mutex mutex_;  // entries, their values and the record list
  std::vector<TagEntry> entries_;
  std::vector<std::unique_ptr<ReplyRecord>> records_;
  int current_ = -1;
};

}  // namespace pspkvx
