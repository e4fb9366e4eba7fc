#pragma once
// A field: of a table definition (Name, Type, Size, Required, AllowZeroLength, DefaultValue, set
// before the field is appended) or of a recordset (the same properties of its column, plus Value of
// the current record; the object follows the recordset as it moves).
#include "daotypes.h"

#include <QString>
#include <variant.h>

#include <functional>
#include <memory>
#include <vector>

namespace dao {

class Recordset;

class Field {
public:
  Field(const QString& name, DataType type, int size = 0);

  QString Name() const { return name_; }
  DataType Type() const { return type_; }
  int Size() const;                 // Text: characters (0 = 50 when appended); other types: bytes
  bool Required() const { return required_; }
  bool AllowZeroLength() const { return allowZeroLength_; }
  QString DefaultValue() const { return defaultValue_; }   // Jet's text: "0", "\" \"", "No"

  // Definition setters: before the field is appended to a table (3219 after).
  void SetName(const QString& n);
  void SetSize(int n);
  void SetRequired(bool b);
  void SetAllowZeroLength(bool b);
  void SetDefaultValue(const QString& d);

  // Recordset fields: the current record's value (the edit buffer during AddNew/Edit).
  // Value: 3021 with no current record, 3167 on a deleted one. SetValue: 3020 without AddNew/Edit,
  // 3421 when the value cannot take the field's type, 3163 when a text is longer than Size,
  // 3164 on an expression column. Table-definition fields: 3219.
  vb::Variant Value() const;
  void SetValue(const vb::Variant& v);

private:
  friend class Recordset;
  friend class TableDef;
  friend class TableDefList;
  friend class FieldList;
  void checkDefinable() const;

  QString name_;
  DataType type_;
  int size_;
  bool required_ = false;
  bool allowZeroLength_ = false;
  QString defaultValue_;
  bool appended_ = false;
  Recordset* owner_ = nullptr;
  int index_ = -1;
};

// Fields of a table definition (or an index): by position or by name (letter case ignored, 3265).
class FieldList {
public:
  int Count() const { return int(items_.size()); }
  Field& Item(int index) const;
  Field& Item(const QString& name) const;
  bool Contains(const QString& name) const;
  // Appends a field; on a table already in the database the column is added to it (3191 on a
  // name already there).
  void Append(const std::shared_ptr<Field>& f);
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  friend class TableDef;
  friend class TableDefList;
  std::vector<std::shared_ptr<Field>> items_;
  std::function<void(Field&)> onAppend_;
};

}  // namespace dao
