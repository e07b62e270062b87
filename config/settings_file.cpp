#include "settings_file.h"

#include <charconv>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// An optional sign and at least one digit, nothing else.
bool IsWholeNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
  }
  return true;
}

// A field's bytes for an error text. A field may be megabytes of garbage, and
// the text ends up in a message box, the error log and stderr: at most
// ExcerptLimit bytes are shown, then "..." and the field's length.
constexpr size_t ExcerptLimit = 80;

std::string LengthNote(std::string_view text) {
  return text.size() > ExcerptLimit ? "... (" + std::to_string(text.size()) + " characters)" : "";
}

std::string Excerpt(std::string_view text) { return std::string(text.substr(0, ExcerptLimit)) + LengthNote(text); }

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text.substr(0, ExcerptLimit)) + "\"" + LengthNote(text);
}

}  // namespace

bool IsPlainNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// ---- writer ----

void SettingsWriter::Separate() {
  if (!lineStart_) out_ += ',';
  lineStart_ = false;
  ++field_;
}

void SettingsWriter::Long(int32_t value) {
  Separate();
  out_ += std::to_string(value);
}

void SettingsWriter::Boolean(bool value) {
  Separate();
  out_ += value ? "#TRUE#" : "#FALSE#";
}

void SettingsWriter::Text(std::string_view text, std::string_view name) {
  Separate();
  if (text.find('"') != std::string_view::npos) {
    throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                       "Invalid property value: " + path_ + ": field " + std::to_string(field_) + " (" +
                           std::string(name) + ") holds a double quote, which the settings file cannot store: " +
                           Quoted(text));
  }
  out_ += '"';
  out_ += text;
  out_ += '"';
}

void SettingsWriter::Cell(const DataCell& cell, std::string_view name) {
  switch (cell.kind()) {
    case DataCell::Kind::Empty:
      Separate();
      break;
    case DataCell::Kind::Text:
      Text(cell.text(), name);
      break;
    case DataCell::Kind::Number:
      Separate();
      if (!IsPlainNumber(cell.text())) {
        throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                           "Invalid property value: " + path_ + ": field " + std::to_string(field_) + " (" +
                               std::string(name) + ") holds the number " + Quoted(cell.text()) +
                               ", which is not plain digits");
      }
      out_ += cell.text();
      break;
  }
}

void SettingsWriter::EndLine() {
  out_ += "\r\n";
  lineStart_ = true;
}

// ---- reader ----

void SettingsReader::Fail(int number, std::string_view name, const std::string& what) const {
  std::string place = path_ + ": ";
  if (record_ > 1) place += "record " + std::to_string(record_) + ", ";
  place += "field " + std::to_string(recordField_) + " (" + std::string(name) + "), line " +
           std::to_string(fieldLine_) + ": ";
  throw RunTimeError(number, StandardErrorDescription(number) + ": " + place + what);
}

bool SettingsReader::AtLineEnd() const {
  return pos_ < bytes_.size() && (bytes_[pos_] == '\r' || bytes_[pos_] == '\n');
}

void SettingsReader::SkipLineEnd() {
  if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++line_;
}

void SettingsReader::SkipBlanks() {
  while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
}

bool SettingsReader::AtEnd() {
  if (afterComma_) return false;  // a trailing comma still owes a field
  for (;;) {
    SkipBlanks();
    if (pos_ >= bytes_.size()) return true;
    if (!AtLineEnd()) return false;
    SkipLineEnd();
  }
}

SettingsReader::Field SettingsReader::Next(std::string_view name) {
  ++recordField_;
  // Blank lines between fields are not fields; a line end straight after a
  // comma ends an empty one.
  for (;;) {
    SkipBlanks();
    if (afterComma_ || !AtLineEnd()) break;
    SkipLineEnd();
  }
  fieldLine_ = line_;

  Field field;
  if (pos_ >= bytes_.size()) {
    if (!afterComma_) Fail(ErrorNumber::InputPastEndOfFile, name, "the file ends before this field");
    afterComma_ = false;
    return field;
  }

  if (bytes_[pos_] == '"') {
    const size_t close = bytes_.find('"', pos_ + 1);
    if (close == std::string_view::npos) Fail(ErrorNumber::TypeMismatch, name, "the text has no closing quote");
    for (size_t i = pos_; i < close; ++i) {
      if (bytes_[i] == '\n' || (bytes_[i] == '\r' && (i + 1 >= close || bytes_[i + 1] != '\n'))) ++line_;
    }
    field.form = Form::Quoted;
    field.text = bytes_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    SkipBlanks();
    if (pos_ < bytes_.size() && bytes_[pos_] != ',' && !AtLineEnd()) {
      size_t end = pos_;
      while (end < bytes_.size() && bytes_[end] != ',' && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
      Fail(ErrorNumber::TypeMismatch, name,
           "text after the closing quote: " + Quoted(bytes_.substr(pos_, end - pos_)));
    }
  } else {
    const size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !AtLineEnd()) ++pos_;
    size_t end = pos_;
    while (end > start && IsBlank(bytes_[end - 1])) --end;
    field.text = bytes_.substr(start, end - start);
    field.form = field.text.empty() ? Form::Empty : Form::Bare;
  }

  // The separator that ends the field.
  if (pos_ >= bytes_.size()) {
    afterComma_ = false;
  } else if (bytes_[pos_] == ',') {
    ++pos_;
    afterComma_ = true;
  } else {
    SkipLineEnd();
    afterComma_ = false;
  }
  return field;
}

int32_t SettingsReader::Long(std::string_view name) {
  const Field field = Next(name);
  if (field.form == Form::Empty) return 0;
  if (field.form == Form::Quoted) {
    Fail(ErrorNumber::TypeMismatch, name, "a number is expected, found the text " + Quoted(field.text));
  }
  if (!IsWholeNumber(field.text)) {
    Fail(ErrorNumber::TypeMismatch, name, "a whole number is expected, found " + Quoted(field.text));
  }
  std::string_view digits = field.text;
  if (digits[0] == '+') digits.remove_prefix(1);
  int32_t value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc()) {
    Fail(ErrorNumber::Overflow, name,
         "the number " + Excerpt(field.text) + " is outside -2147483648 to 2147483647");
  }
  return value;
}

int32_t SettingsReader::Long(std::string_view name, int32_t low, int32_t high) {
  const int32_t value = Long(name);
  if (value < low || value > high) {
    Fail(ErrorNumber::InvalidPropertyValue, name,
         "a number from " + std::to_string(low) + " to " + std::to_string(high) + " is expected, found " +
             std::to_string(value));
  }
  return value;
}

bool SettingsReader::Boolean(std::string_view name) {
  const Field field = Next(name);
  if (field.form == Form::Empty) return false;
  if (field.form == Form::Bare) {
    if (EqualsIgnoringCase(field.text, "#TRUE#")) return true;
    if (EqualsIgnoringCase(field.text, "#FALSE#")) return false;
    // A number stands for a Boolean the way the tables hold one: 0 is False.
    if (IsWholeNumber(field.text)) return field.text.find_first_not_of("+-0") != std::string_view::npos;
  }
  Fail(ErrorNumber::TypeMismatch, name,
       "#TRUE# or #FALSE# is expected, found " +
           (field.form == Form::Quoted ? "the text " + Quoted(field.text) : Quoted(field.text)));
}

std::string SettingsReader::Text(std::string_view name) { return std::string(Next(name).text); }

DataCell SettingsReader::Cell(std::string_view name) {
  const Field field = Next(name);
  switch (field.form) {
    case Form::Empty: return DataCell();
    case Form::Quoted: return DataCell::Text(std::string(field.text));
    case Form::Bare: break;
  }
  if (IsPlainNumber(field.text)) return DataCell::Number(std::string(field.text));
  return DataCell::Text(std::string(field.text));
}

}  // namespace tarvex
