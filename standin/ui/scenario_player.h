// Plays an end-to-end scenario against the host: each step acts on the
// desktop channel or on the host's window, and what happened goes to the
// transcript.
//
// The player is driven by a timer on a window of its own. A timer message
// only arrives when no other message is waiting, so by the time the next
// step runs, everything the previous one caused has been handled; and since
// the host's nested loops (the Save As dialog, the tray menu) dispatch timer
// messages too, the scenario goes on while one of them is open. The player
// never runs a message loop itself, so the host's quit message always ends
// the host's loop.
#ifndef STANDIN_UI_SCENARIO_PLAYER_H_
#define STANDIN_UI_SCENARIO_PLAYER_H_

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standin/ui/engine_link.h"
#include "standin/ui/scenario_script.h"

namespace veltrix {

class ScenarioPlayer {
 public:
  ScenarioPlayer(EngineLink& link, Scenario scenario);
  ~ScenarioPlayer();

  ScenarioPlayer(const ScenarioPlayer&) = delete;
  ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

  // Called while the host creates its window; the first step runs once the
  // host's message loop does.
  void Start();
  // The engine is letting go of the module: playing ends here.
  void Stop();

 private:
  enum class Wait { kNone, kReply, kFrame, kPump };
  enum class DialogAnswer { kNone, kSave, kCancel };
  enum class MenuAnswer { kNone, kChoose, kDismiss };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static bool OnTopLevelMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                LRESULT* result, void* user);

  void OnStepTimer();
  void OnStuckTimer();
  // Runs the next step, or ends the scenario after the last one.
  void Advance();
  void Execute(const ScenarioStep& step);
  void OnReply(uint64_t call, const uint8_t* reply, size_t size);
  void OnFrameMarker(uint64_t frame);
  void StepDone();
  void Finish();

  void DriveNativeUi();
  void DriveDialog();
  void DriveMenu();

  void Record(const std::string& line) { link_.Record(line); }
  // A message on the desktop channel as the transcript shows it.
  std::string Words(bool call, const uint8_t* data, size_t size) const;

  EngineLink& link_;
  Scenario scenario_;
  HWND window_ = nullptr;
  size_t next_ = 0;
  bool stopped_ = false;
  bool finished_ = false;
  bool inStep_ = false;
  bool inDriver_ = false;
  // VELTRIX_E2E_HEX=1: messages as raw bytes, the way older transcripts show them.
  bool hex_ = false;
  // The top-level messages that "watch" steps asked for, as they wrote them.
  std::map<UINT, std::string> watched_;

  Wait wait_ = Wait::kNone;
  uint64_t deadline_ = 0;    // GetTickCount64 time the wait ends
  uint64_t waitingFor_ = 0;  // the call or frame whose answer ends the wait
  uint64_t lastTicket_ = 0;

  DialogAnswer dialogAnswer_ = DialogAnswer::kNone;
  std::wstring dialogPath_;
  bool confirmPrompts_ = false;  // after a save: say yes to "replace?"

  // The reply to each call from the host; none by default.
  std::optional<std::vector<uint8_t>> hostCallAnswer_;

  MenuAnswer menuAnswer_ = MenuAnswer::kNone;
  unsigned menuChoice_ = 0;
  HWND clickedMenu_ = nullptr;  // waiting for it to close
  uint64_t clickedAt_ = 0;
};

}  // namespace veltrix

#endif  // STANDIN_UI_SCENARIO_PLAYER_H_
