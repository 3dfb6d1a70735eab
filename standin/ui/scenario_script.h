// The end-to-end scenario language of the stand-in UI: one step per line,
// read before anything is played, and the transcript words the player
// writes. Portable, so the grammar is tested without Wine.
#ifndef STANDIN_UI_SCENARIO_SCRIPT_H_
#define STANDIN_UI_SCENARIO_SCRIPT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/hex.h"

namespace veltrix {

enum class StepKind {
  kCall,          // bytes
  kFrame,         //
  kState,         //
  kSend,          // message, wparam, lparam
  kPost,          // message, wparam, lparam
  kMinimize,      //
  kPlacement,     //
  kMove,          // box: x, y, width, height
  kSnapshot,      // text: the Windows path of the picture
  kPump,          // milliseconds in message
  kDialogSave,    // text: the Windows path to type
  kDialogCancel,  //
  kMenuChoose,    // message: the command id
  kMenuDismiss,   //
  kReg,           // text: subkey under HKEY_CURRENT_USER, valueName
  kAnswer,        // message: 1 to answer the host's calls with bytes, 0 not to
  kStart,         // text: the arguments of a second start of the program
  // Window messages by name; numbers from the system and the host's headers.
  kClose,            //
  kFontChange,       //
  kQueryEndSession,  //
  kEndSession,       // wparam: 1 when the session ends
  kTray,             // wparam, lparam of the tray callback message
  kWatch,            // message; text: the message as written
};

struct ScenarioStep {
  StepKind kind = StepKind::kFrame;
  int lineNumber = 0;
  std::vector<uint8_t> bytes;
  int64_t message = 0;
  int64_t wparam = 0;
  int64_t lparam = 0;
  int64_t box[4] = {};
  std::string text;
  std::string valueName;
};

struct Scenario {
  std::vector<ScenarioStep> steps;
  // Empty when the whole file was understood; otherwise "line N: why" and
  // no steps, so that nothing half-read is played.
  std::string error;
};

Scenario ParseScenario(std::string_view text);

// Decimal (optionally negative) or 0x hexadecimal, 64 bits.
std::optional<int64_t> ParseScenarioNumber(std::string_view text);
// Pairs of hex digits in either case; blanks may separate bytes, not digits.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);

// A reply envelope as the transcript shows it, its values written as
// argument literals: "success <value>", "error <code> <message or null>
// <details>", "empty", or "bytes <hex>" for what does not decode to exactly
// these bytes (or has no literal).
std::string ReplyWords(const uint8_t* data, size_t size);
// A method call the same way: "<method> <argument>", or "bytes <hex>".
std::string CallWords(const uint8_t* data, size_t size);

// One entry of a popup menu as the transcript shows it.
struct MenuEntry {
  unsigned id = 0;
  unsigned flags = 0;  // kMenuEntryDisabled or kMenuEntrySeparator, or 0
  std::string text;    // UTF-8
};
inline constexpr unsigned kMenuEntryDisabled = 1;
inline constexpr unsigned kMenuEntrySeparator = 2048;

// "menu-items 1,0,Open VELTRIX VPN|2,1,Connect|0,2048,|3,0,Quit"
std::string MenuItemsLine(const std::vector<MenuEntry>& entries);

}  // namespace veltrix

#endif  // STANDIN_UI_SCENARIO_SCRIPT_H_
