#pragma once
// The notation of the channel, protocol and system setup files.
//
// A file is a sequence of comma-separated fields: texts in double quotes with no
// escaping, Booleans as #TRUE# and #FALSE#, numbers as plain decimal digits,
// lines ended by CR LF. Commas and line ends both separate fields, so a record
// may run over several lines. The files are bytes in the ANSI code page and are
// handled as bytes throughout: whatever a text holds round-trips unchanged.
//
// The writer produces exactly one form and refuses what the notation cannot
// hold (a text with a double quote in it) before anything reaches the disk.
// The reader takes the writer's form and what people write by hand: LF-only
// or CR-only line ends, blank lines (skipped), blanks around fields. It accepts
// nothing it would have to guess at: a text where a number belongs, bytes after
// a closing quote, a missing closing quote, a number outside 32 bits or too few
// fields all raise a RunTimeError that names the file, the field number and
// the line.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/data_array.h"

namespace tarvex {

class SettingsWriter {
public:
  // path: named in the errors of refused values.
  explicit SettingsWriter(std::string path) : path_(std::move(path)) {}

  void Long(int32_t value);
  void Boolean(bool value);
  // name: the field's name for the error when the text holds a double quote.
  void Text(std::string_view text, std::string_view name);
  // A status cell in the form it is held: text quoted, a number's digits as
  // they are, nothing as an empty field.
  void Cell(const DataCell& cell, std::string_view name);
  void EndLine();

  const std::string& bytes() const noexcept { return out_; }

private:
  void Separate();

  std::string path_;
  std::string out_;
  bool lineStart_ = true;
  int field_ = 0;  // fields written so far, for the errors
};

class SettingsReader {
public:
  // bytes must outlive the reader.
  SettingsReader(std::string path, std::string_view bytes) : path_(std::move(path)), bytes_(bytes) {}

  // Numbers fields from 1 again from the next one, for files of several records.
  void BeginRecord() {
    recordField_ = 0;
    ++record_;
  }
  // True when only blanks and line ends are left.
  bool AtEnd();

  // Each reads the next field; name is the field's name in the errors.
  int32_t Long(std::string_view name);
  // A whole number from low to high; any other raises 380 with the place.
  int32_t Long(std::string_view name, int32_t low, int32_t high);
  bool Boolean(std::string_view name);
  std::string Text(std::string_view name);
  DataCell Cell(std::string_view name);

private:
  enum class Form { Empty, Quoted, Bare };
  struct Field {
    Form form = Form::Empty;
    std::string_view text;  // between the quotes, or the bare bytes without surrounding blanks
  };

  Field Next(std::string_view name);
  bool AtLineEnd() const;
  void SkipLineEnd();
  void SkipBlanks();
  [[noreturn]] void Fail(int number, std::string_view name, const std::string& what) const;

  std::string path_;
  std::string_view bytes_;
  size_t pos_ = 0;
  int line_ = 1;
  int fieldLine_ = 1;      // the line the field being read starts on
  int recordField_ = 0;    // field number within the record
  int record_ = 0;         // records begun; 0 when the file is one record
  bool afterComma_ = false;  // the last separator was a comma: a line end now ends an empty field
};

// Adaptors for records described once as a list of (field, name) visits, so
// the writer and the reader of a record cannot drift apart.
struct WritingVisitor {
  SettingsWriter& writer;
  void Long(int32_t value, std::string_view) { writer.Long(value); }
  void Long(int32_t value, std::string_view, int32_t, int32_t) { writer.Long(value); }
  void Boolean(bool value, std::string_view) { writer.Boolean(value); }
  void Text(const std::string& value, std::string_view name) { writer.Text(value, name); }
};

struct ReadingVisitor {
  SettingsReader& reader;
  void Long(int32_t& value, std::string_view name) { value = reader.Long(name); }
  void Long(int32_t& value, std::string_view name, int32_t low, int32_t high) {
    value = reader.Long(name, low, high);
  }
  void Boolean(bool& value, std::string_view name) { value = reader.Boolean(name); }
  void Text(std::string& value, std::string_view name) { value = reader.Text(name); }
};

// The forms a bare (unquoted) field takes as a number: an optional sign, digits
// with at most one ".".
bool IsPlainNumber(std::string_view text);

}  // namespace tarvex
