#include "standin/ui/scenario_script.h"

#include <limits>

namespace veltrix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
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

std::string LowerHex(const uint8_t* data, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    hex += kDigits[data[i] >> 4];
    hex += kDigits[data[i] & 0xF];
  }
  return hex;
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
      std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(rest);
      ok = bytes.has_value();
      if (ok) step.bytes = std::move(*bytes);
    } else if (keyword == "frame" || keyword == "state" || keyword == "minimize") {
      step.kind = keyword == "frame"   ? StepKind::kFrame
                  : keyword == "state" ? StepKind::kState
                                       : StepKind::kMinimize;
      ok = rest.empty();
    } else if (keyword == "send" || keyword == "post") {
      step.kind = keyword == "send" ? StepKind::kSend : StepKind::kPost;
      int64_t* numbers[] = {&step.message, &step.wparam, &step.lparam};
      ok = ReadNumbers(rest, numbers, 3);
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
