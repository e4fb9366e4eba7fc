#pragma once
// Enumerations of the database layer, with DAO's numbers.
#include <cstdint>
#include <functional>

namespace dao {

enum class DataType : int {
  Boolean = 1, Byte = 2, Integer = 3, Long = 4, Currency = 5, Single = 6, Double = 7, Date = 8,
  Text = 10, Memo = 12
};

// Default: DAO's default for the source (a dynaset; a table name gives a dynaset too, see Database).
enum class RecordsetType : int { Default = 0, Table = 1, Dynaset = 2, Snapshot = 4, ForwardOnly = 8 };

enum class EditMode : int { None = 0, InProgress = 1, Add = 2 };

// Whether a database file can be written. A file whose folder or own permissions refuse writes (for
// its owner or for this process, the superuser included; or on a read-only medium) is read-only:
// FileReadOnly when the file itself refuses, FolderReadOnly when its folder does (no journal can be
// made beside it).
enum class FileAccess : int { Writable = 0, FileReadOnly = 1, FolderReadOnly = 2 };

// Execute option (accepted for DAO's sake: every Execute is atomic and raises).
constexpr int dbFailOnError = 128;

// A recordset position. Valid only in the recordset that gave it and in its clones
// (elsewhere: error 3159).
class Bookmark {
public:
  Bookmark() = default;
  bool isValid() const { return family_ != 0; }
  bool operator==(const Bookmark& o) const { return family_ == o.family_ && position_ == o.position_; }
  bool operator!=(const Bookmark& o) const { return !(*this == o); }
  uint64_t family() const { return family_; }
  int64_t position() const { return position_; }
  static Bookmark make(uint64_t family, int64_t position) { Bookmark b; b.family_ = family; b.position_ = position; return b; }

private:
  uint64_t family_ = 0;
  int64_t position_ = -1;
};

}  // namespace dao

template <>
struct std::hash<dao::Bookmark> {
  size_t operator()(const dao::Bookmark& b) const noexcept {
    return std::hash<uint64_t>()(b.family() * 1000003u) ^ std::hash<int64_t>()(b.position());
  }
};
