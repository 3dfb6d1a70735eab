#include "standin/ui/scenario_script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "engine_client/byte_streams.h"
#include "engine_client/method_call.h"
#include "engine_client/standard_method_codec.h"
#include "tray/tray_event.h"

namespace veltrix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view& in) {
  while (!in.empty() && IsBlank(in.front())) in.remove_prefix(1);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Splits off the first blank-separated word; `rest` keeps what follows,
// without its leading blanks.
std::string_view NextWord(std::string_view& rest) {
  size_t end = 0;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  SkipBlanks(rest);
  return word;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads exactly `count` numbers from `rest`; nothing may follow them.
bool ReadNumbers(std::string_view rest, int64_t* out[], size_t count) {
  for (size_t i = 0; i < count; ++i) {
    std::optional<int64_t> number = ParseScenarioNumber(NextWord(rest));
    if (!number) return false;
    *out[i] = *number;
  }
  return rest.empty();
}

// The argument literal of "call <method> <literal>", by recursive descent:
// each reader consumes what it read from the front of `in`.
using flutter::EncodableValue;

bool Take(std::string_view& in, std::string_view token) {
  SkipBlanks(in);
  if (!in.starts_with(token)) return false;
  in.remove_prefix(token.size());
  return true;
}

std::optional<EncodableValue> ReadLiteral(std::string_view& in);

// Decimal; a '.' or an exponent makes it a double.
std::optional<EncodableValue> ReadNumber(std::string_view& in, bool force64) {
  size_t end = 0;
  while (end < in.size() && std::string_view("0123456789+-.eE").find(in[end]) != in.npos) ++end;
  const std::string_view text = in.substr(0, end);
  const char* last = text.data() + text.size();
  in.remove_prefix(end);
  if (!force64 && text.find_first_of(".eE") != text.npos) {
    double value = 0;
    auto [ptr, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || ptr != last) return std::nullopt;
    return EncodableValue(value);
  }
  int64_t value = 0;
  auto [ptr, error] = std::from_chars(text.data(), last, value);
  if (text.empty() || error != std::errc() || ptr != last) return std::nullopt;
  if (!force64 && value >= std::numeric_limits<int32_t>::min() &&
      value <= std::numeric_limits<int32_t>::max()) {
    return EncodableValue(static_cast<int32_t>(value));
  }
  return EncodableValue(value);
}

// After the opening quote. The bytes go through as written (UTF-8), and \xHH
// gives one raw byte.
std::optional<EncodableValue> ReadString(std::string_view& in) {
  std::string text;
  while (!in.empty() && in.front() != '"') {
    char c = in.front();
    in.remove_prefix(1);
    if (c == '\\') {
      if (in.empty()) return std::nullopt;
      c = in.front();
      in.remove_prefix(1);
      if (c == 'n') {
        c = '\n';
      } else if (c == 't') {
        c = '\t';
      } else if (c == '0') {
        c = '\0';
      } else if (c == 'x') {
        if (in.size() < 2 || HexDigit(in[0]) < 0 || HexDigit(in[1]) < 0) return std::nullopt;
        c = static_cast<char>(HexDigit(in[0]) << 4 | HexDigit(in[1]));
        in.remove_prefix(2);
      } else if (c != '\\' && c != '"') {
        return std::nullopt;
      }
    }
    text += c;
  }
  if (!Take(in, "\"")) return std::nullopt;
  return EncodableValue(std::move(text));
}

// After the opening bracket or brace: items up to `close`, separated by
// commas; a map's items are "key: value" pairs, each key once.
std::optional<EncodableValue> ReadItems(std::string_view& in, bool isMap) {
  flutter::EncodableValueList list;
  flutter::EncodableValueMap map;
  const std::string_view close = isMap ? "}" : "]";
  if (!Take(in, close)) {
    do {
      std::optional<EncodableValue> item = ReadLiteral(in);
      if (!item) return std::nullopt;
      if (!isMap) {
        list.push_back(std::move(*item));
        continue;
      }
      if (!Take(in, ":")) return std::nullopt;
      std::optional<EncodableValue> value = ReadLiteral(in);
      if (!value || !map.emplace(std::move(*item), std::move(*value)).second) return std::nullopt;
    } while (Take(in, ","));
    if (!Take(in, close)) return std::nullopt;
  }
  return isMap ? EncodableValue(std::move(map)) : EncodableValue(std::move(list));
}

std::optional<EncodableValue> ReadLiteral(std::string_view& in) {
  SkipBlanks(in);
  if (Take(in, "null")) return EncodableValue();
  if (Take(in, "true")) return EncodableValue(true);
  if (Take(in, "false")) return EncodableValue(false);
  if (Take(in, "\"")) return ReadString(in);
  if (Take(in, "[")) return ReadItems(in, false);
  if (Take(in, "{")) return ReadItems(in, true);
  if (Take(in, "i64(")) {
    SkipBlanks(in);
    std::optional<EncodableValue> value = ReadNumber(in, true);
    return value && Take(in, ")") ? value : std::nullopt;
  }
  return ReadNumber(in, false);
}

// "call" followed by hex bytes (nothing at all is the empty message), or by
// a method name and an optional argument literal.
std::optional<std::vector<uint8_t>> ReadCall(std::string_view rest) {
  std::string_view words = rest;
  bool hex = true;
  while (hex && !words.empty()) {
    std::string_view word = NextWord(words);
    hex = word.size() % 2 == 0 &&
          std::all_of(word.begin(), word.end(), [](char c) { return HexDigit(c) >= 0; });
  }
  if (hex) return ParseHexBytes(rest);
  const std::string method(NextWord(rest));
  std::optional<EncodableValue> arguments =
      rest.empty() ? std::optional(EncodableValue()) : ReadLiteral(rest);
  SkipBlanks(rest);
  if (!arguments || !rest.empty()) return std::nullopt;
  return *flutter::StandardMethodCodec::SharedInstance().EncodeCall(
      flutter::MethodCall(method, std::make_unique<EncodableValue>(std::move(*arguments))));
}

// The other way round: a value written so that ReadLiteral reads back the
// same value. Int64 always shows as i64(...) and a double always has a '.'
// or an exponent, so every type can be told from the text. False for what
// no literal says: non-finite doubles, typed lists.
bool WriteLiteral(const EncodableValue& value, std::string& out);

// A UTF-8 sequence starting at `i`: its length, or 0 when there is none.
size_t Utf8Length(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const size_t length = byte(i) >= 0xF0 && byte(i) <= 0xF4   ? 4
                        : byte(i) >= 0xE0 && byte(i) <= 0xEF ? 3
                        : byte(i) >= 0xC2 && byte(i) <= 0xDF ? 2
                                                             : 0;
  if (length == 0 || text.size() - i < length) return 0;
  for (size_t k = i + 1; k < i + length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// UTF-8 goes through as it is, so the transcript stays readable; control
// characters and stray bytes are escaped.
void WriteString(std::string_view text, std::string& out) {
  out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (const size_t length = byte >= 0x80 ? Utf8Length(text, i) : 0; length != 0) {
      out += text.substr(i, length);
      i += length - 1;
    } else if (c == '\\' || c == '"') {
      out += {'\\', c};
    } else if (c == '\n' || c == '\t' || c == '\0') {
      out += {'\\', c == '\n' ? 'n' : c == '\t' ? 't' : '0'};
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += "\\x" + LowerHex({&byte, 1});
    } else {
      out += c;
    }
  }
  out += '"';
}

bool WriteLiteral(const EncodableValue& value, std::string& out) {
  if (value.IsNull()) {
    out += "null";
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    out += *flag ? "true" : "false";
  } else if (const auto* number = std::get_if<int32_t>(&value)) {
    out += std::to_string(*number);
  } else if (const auto* wide = std::get_if<int64_t>(&value)) {
    out += "i64(" + std::to_string(*wide) + ")";
  } else if (const auto* real = std::get_if<double>(&value)) {
    if (!std::isfinite(*real)) return false;
    char buffer[32];
    const std::string_view text(buffer, std::to_chars(buffer, buffer + 32, *real).ptr - buffer);
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos) out += ".0";
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    WriteString(*text, out);
  } else if (const auto* list = std::get_if<flutter::EncodableValueList>(&value)) {
    out += '[';
    for (size_t i = 0; i < list->size(); ++i) {
      if (i != 0) out += ", ";
      if (!WriteLiteral((*list)[i], out)) return false;
    }
    out += ']';
  } else if (const auto* map = std::get_if<flutter::EncodableValueMap>(&value)) {
    out += '{';
    bool first = true;
    for (const auto& [key, item] : *map) {
      if (!std::exchange(first, false)) out += ", ";
      if (!WriteLiteral(key, out)) return false;
      out += ": ";
      if (!WriteLiteral(item, out)) return false;
    }
    out += '}';
  } else {
    return false;
  }
  return true;
}

// The `count` values that follow the first `skip` bytes of a message, when
// they make up the rest of it exactly: written again, they give the same
// bytes. Anything the reader had to skip, guess or leave over fails this.
std::optional<std::vector<EncodableValue>> ReadExactly(const uint8_t* data, size_t size,
                                                       size_t skip, size_t count) {
  const flutter::StandardCodecSerializer& serializer =
      flutter::StandardCodecSerializer::SharedInstance();
  if (size < skip) return std::nullopt;
  flutter::ByteBufferStreamReader reader(data, size);
  std::vector<uint8_t> again(data, data + skip);
  flutter::ByteBufferStreamWriter writer(&again);
  for (size_t i = 0; i < skip; ++i) reader.ReadByte();
  std::vector<EncodableValue> values;
  for (size_t i = 0; i < count; ++i) {
    values.push_back(serializer.ReadValue(&reader));
    serializer.WriteValue(values.back(), &writer);
  }
  if (again.size() != size || !std::equal(again.begin(), again.end(), data)) return std::nullopt;
  return values;
}

// "<first> <literal>...", or "bytes <hex>" when a value has no literal.
std::string Words(std::string first, const std::vector<EncodableValue>& values, const uint8_t* data,
                  size_t size) {
  for (const EncodableValue& value : values) {
    first += ' ';
    if (!WriteLiteral(value, first)) return "bytes " + LowerHex({data, size});
  }
  return first;
}

// How the user interface answers the host's calls from an "answer" step on:
// not at all, with a success envelope holding null or the literal given
// ("success false"), with an error envelope ("ui_error", no message, no
// details), or with the empty reply of a method it does not implement.
bool ReadAnswer(std::string_view rest, ScenarioStep* step) {
  const std::string_view word = NextWord(rest);
  step->message = word == "none" ? 0 : 1;
  if (word == "success") {
    std::optional<EncodableValue> value =
        rest.empty() ? std::optional(EncodableValue()) : ReadLiteral(rest);
    SkipBlanks(rest);
    if (!value || !rest.empty()) return false;
    step->bytes = *flutter::StandardMethodCodec::SharedInstance().EncodeSuccess(&*value);
    return true;
  }
  if (word == "error") {
    step->bytes = {0x01, 0x07, 0x08, 'u', 'i', '_', 'e', 'r', 'r', 'o', 'r', 0x00, 0x00};
  } else if (word != "none" && word != "notimplemented") {
    return false;
  }
  return rest.empty();
}

// The steps that are one word alone.
std::optional<StepKind> BareStep(std::string_view word) {
  static constexpr std::pair<std::string_view, StepKind> kSteps[] = {
      {"frame", StepKind::kFrame},
      {"state", StepKind::kState},
      {"minimize", StepKind::kMinimize},
      {"placement", StepKind::kPlacement},
      {"close", StepKind::kClose},
      {"font-change", StepKind::kFontChange},
      {"query-end-session", StepKind::kQueryEndSession},
  };
  for (const auto& [name, kind] : kSteps) {
    if (word == name) return kind;
  }
  return std::nullopt;
}

// "tray select|key-select|double-click" and "tray context-menu <x> <y>":
// the tray callback as a version 4 icon gets it, the event in the low word
// of lparam and a menu's anchor in wparam as two 16-bit screen coordinates.
bool ReadTray(std::string_view rest, ScenarioStep* step) {
  step->kind = StepKind::kTray;
  const std::string_view event = NextWord(rest);
  if (event == "context-menu") {
    int64_t x = 0;
    int64_t y = 0;
    int64_t* numbers[] = {&x, &y};
    const auto fits = [](int64_t v) { return v >= INT16_MIN && v <= INT16_MAX; };
    step->lparam = kTrayEventContextMenu;
    if (!ReadNumbers(rest, numbers, 2) || !fits(x) || !fits(y)) return false;
    step->wparam = (y & 0xFFFF) << 16 | (x & 0xFFFF);
    return true;
  }
  step->lparam = event == "select"         ? kTrayEventSelect
                 : event == "key-select"   ? kTrayEventKeySelect
                 : event == "double-click" ? kTrayEventLeftDoubleClick
                                           : 0;
  return step->lparam != 0 && rest.empty();
}

std::string Fail(int lineNumber, const std::string& why) {
  return "line " + std::to_string(lineNumber) + ": " + why;
}

}  // namespace

std::optional<int64_t> ParseScenarioNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    if (negative || text.size() > 16) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
      int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = (value << 4) | static_cast<uint64_t>(digit);
    }
    // Window message words are unsigned; the bits are what counts.
    return static_cast<int64_t>(value);
  }
  uint64_t value = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : std::numeric_limits<int64_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (limit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (!negative) return static_cast<int64_t>(value);
  return value == (uint64_t{1} << 63) ? std::numeric_limits<int64_t>::min()
                                      : -static_cast<int64_t>(value);
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<uint8_t> bytes;
  text = Trim(text);
  while (!text.empty()) {
    std::string_view word = NextWord(text);
    if (word.size() % 2 != 0) return std::nullopt;
    for (size_t i = 0; i < word.size(); i += 2) {
      int high = HexDigit(word[i]);
      int low = HexDigit(word[i + 1]);
      if (high < 0 || low < 0) return std::nullopt;
      bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
  }
  return bytes;
}

std::string ReplyWords(const uint8_t* data, size_t size) {
  if (size == 0) return "empty";
  const bool success = data[0] == 0;
  std::optional<std::vector<EncodableValue>> values;
  if (data[0] <= 1) values = ReadExactly(data, size, 1, success ? 1 : 3);
  // An error's code is a string, its message a string or null.
  if (values && !success &&
      (!std::holds_alternative<std::string>((*values)[0]) ||
       !((*values)[1].IsNull() || std::holds_alternative<std::string>((*values)[1])))) {
    values.reset();
  }
  if (!values) return "bytes " + LowerHex({data, size});
  return Words(success ? "success" : "error", *values, data, size);
}

std::string CallWords(const uint8_t* data, size_t size) {
  if (auto values = ReadExactly(data, size, 0, 2)) {
    // The name goes bare, as a "call" step writes it, when it reads back as
    // a name: one word, not hex bytes, not a word of this line's own.
    const std::string* name = std::get_if<std::string>(&values->front());
    if (name != nullptr && !name->empty() && *name != "bytes" && *name != "empty" &&
        std::all_of(name->begin(), name->end(), [](char c) { return c > ' ' && c < 0x7F; }) &&
        !(name->size() % 2 == 0 &&
          std::all_of(name->begin(), name->end(), [](char c) { return HexDigit(c) >= 0; }))) {
      return Words(*name, {values->back()}, data, size);
    }
  }
  return size == 0 ? "empty" : "bytes " + LowerHex({data, size});
}

std::string MenuItemsLine(const std::vector<MenuEntry>& entries) {
  std::string line = "menu-items ";
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i != 0) line += '|';
    line += std::to_string(entries[i].id) + ',' + std::to_string(entries[i].flags) + ',' +
            entries[i].text;
  }
  return line;
}

Scenario ParseScenario(std::string_view text) {
  Scenario scenario;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;

    std::string_view rest = line;
    std::string_view keyword = NextWord(rest);
    ScenarioStep step;
    step.lineNumber = lineNumber;
    bool ok = true;
    if (keyword == "call") {
      step.kind = StepKind::kCall;
      std::optional<std::vector<uint8_t>> bytes = ReadCall(rest);
      ok = bytes.has_value();
      if (ok) step.bytes = std::move(*bytes);
    } else if (std::optional<StepKind> bare = BareStep(keyword)) {
      step.kind = *bare;
      ok = rest.empty();
    } else if (keyword == "end-session") {
      step.kind = StepKind::kEndSession;
      step.wparam = rest == "true" ? 1 : 0;
      ok = rest == "true" || rest == "false";
    } else if (keyword == "tray") {
      ok = ReadTray(rest, &step);
    } else if (keyword == "watch") {
      step.kind = StepKind::kWatch;
      step.text = std::string(rest);
      int64_t* numbers[] = {&step.message};
      ok = ReadNumbers(rest, numbers, 1) && step.message >= 0 && step.message <= 0xFFFFFFFF;
    } else if (keyword == "send" || keyword == "post") {
      step.kind = keyword == "send" ? StepKind::kSend : StepKind::kPost;
      int64_t* numbers[] = {&step.message, &step.wparam, &step.lparam};
      ok = ReadNumbers(rest, numbers, 3);
    } else if (keyword == "move") {
      // Screen coordinates and a size, as SetWindowPos takes them.
      step.kind = StepKind::kMove;
      int64_t* numbers[] = {&step.box[0], &step.box[1], &step.box[2], &step.box[3]};
      const auto fits = [](int64_t v, int64_t low) { return v >= low && v <= INT32_MAX; };
      ok = ReadNumbers(rest, numbers, 4) && fits(step.box[0], INT32_MIN) &&
           fits(step.box[1], INT32_MIN) && fits(step.box[2], 0) && fits(step.box[3], 0);
    } else if (keyword == "snapshot") {
      step.kind = StepKind::kSnapshot;
      step.text = std::string(rest);
      ok = !rest.empty();
    } else if (keyword == "pump") {
      step.kind = StepKind::kPump;
      int64_t* numbers[] = {&step.message};
      ok = ReadNumbers(rest, numbers, 1) && step.message >= 0;
    } else if (keyword == "dialog") {
      std::string_view action = NextWord(rest);
      if (action == "save" && !rest.empty()) {
        step.kind = StepKind::kDialogSave;
        step.text = std::string(rest);
      } else if (action == "cancel" && rest.empty()) {
        step.kind = StepKind::kDialogCancel;
      } else {
        ok = false;
      }
    } else if (keyword == "menu") {
      if (rest == "dismiss") {
        step.kind = StepKind::kMenuDismiss;
      } else {
        step.kind = StepKind::kMenuChoose;
        int64_t* numbers[] = {&step.message};
        ok = ReadNumbers(rest, numbers, 1) && step.message >= 0 && step.message <= 0xFFFF;
      }
    } else if (keyword == "reg") {
      step.kind = StepKind::kReg;
      size_t bar = rest.find('|');
      ok = bar != std::string_view::npos && bar != 0;
      if (ok) {
        step.text = std::string(rest.substr(0, bar));
        step.valueName = std::string(rest.substr(bar + 1));
      }
    } else if (keyword == "answer") {
      step.kind = StepKind::kAnswer;
      ok = ReadAnswer(rest, &step);
    } else if (keyword == "start") {
      step.kind = StepKind::kStart;
      step.text = std::string(rest);
    } else {
      scenario.steps.clear();
      scenario.error = Fail(lineNumber, "unknown step \"" + std::string(keyword) + "\"");
      return scenario;
    }
    if (!ok) {
      scenario.steps.clear();
      scenario.error = Fail(lineNumber, "malformed \"" + std::string(keyword) + "\" step");
      return scenario;
    }
    scenario.steps.push_back(std::move(step));
  }
  return scenario;
}

}  // namespace veltrix
