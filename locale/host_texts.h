#ifndef LOCALE_HOST_TEXTS_H_
#define LOCALE_HOST_TEXTS_H_

#include <iterator>
#include <string>
#include <string_view>

#include "base/connection_state.h"
#include "locale/language.h"

namespace veltrix {

// Every text the user can see from the host, in one language. "%1" stands
// for what the text names (a connection's label, a file). The product's name
// is never translated. Each text is followed by a zero, so that `data()` can
// go to Windows as it is.
struct HostTexts {
  // The tray menu.
  std::wstring_view trayOpen;
  std::wstring_view trayConnect;
  std::wstring_view trayDisconnect;
  std::wstring_view trayQuit;
  // The tray icon's tooltip: %1 is the connection's label.
  std::wstring_view tooltip;
  // The connection's labels.
  std::wstring_view disconnected;
  std::wstring_view connecting;
  std::wstring_view connected;
  std::wstring_view reconnecting;
  std::wstring_view disconnecting;
  std::wstring_view connectionError;
  // The tray icon's two balloons.
  std::wstring_view stillRunningTitle;
  std::wstring_view stillRunningText;
  std::wstring_view connectionLostTitle;
  std::wstring_view connectionLostText;
  // Why the program could not start: %1 is the file's name.
  std::wstring_view brokenFile;
  std::wstring_view windowFailed;
  std::wstring_view engineFailed;
  std::wstring_view viewFailed;
  // Another copy runs but does not answer.
  std::wstring_view notResponding;
  // The diagnostics' Save As dialog, and the name of its one filter.
  std::wstring_view saveDialogTitle;
  std::wstring_view textFiles;
};

// Every text of the table, for whoever must treat them all alike.
inline constexpr std::wstring_view HostTexts::*kAllHostTexts[] = {
    &HostTexts::trayOpen,
    &HostTexts::trayConnect,
    &HostTexts::trayDisconnect,
    &HostTexts::trayQuit,
    &HostTexts::tooltip,
    &HostTexts::disconnected,
    &HostTexts::connecting,
    &HostTexts::connected,
    &HostTexts::reconnecting,
    &HostTexts::disconnecting,
    &HostTexts::connectionError,
    &HostTexts::stillRunningTitle,
    &HostTexts::stillRunningText,
    &HostTexts::connectionLostTitle,
    &HostTexts::connectionLostText,
    &HostTexts::brokenFile,
    &HostTexts::windowFailed,
    &HostTexts::engineFailed,
    &HostTexts::viewFailed,
    &HostTexts::notResponding,
    &HostTexts::saveDialogTitle,
    &HostTexts::textFiles,
};
static_assert(sizeof(HostTexts) == std::size(kAllHostTexts) * sizeof(std::wstring_view),
              "a text missing from kAllHostTexts");

// The table of `language`; it lives as long as the program.
const HostTexts& TextsFor(Language language);

// The label of `state` in `texts`.
std::wstring_view ConnectionLabel(const HostTexts& texts, ConnectionState state);

// `text` with every "%1" replaced by `value`.
std::wstring FillPlaceholder(std::wstring_view text, std::wstring_view value);

}  // namespace veltrix

#endif  // LOCALE_HOST_TEXTS_H_
