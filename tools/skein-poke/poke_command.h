#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace skein::poke {

// What skein-poke is asked to do to the running program's windows.
enum class Verb {
  WaitWindow,
  Exists,
  WaitGone,
  Close,
  Menu,
  Tray,
  Minimise,
  State,
  Label,
  EndSession,
  Dismiss,
  DismissText,
  MessageText,
};

struct PokeCommand {
  Verb verb = Verb::State;
  // A window title, or the text of a dialog's child.
  std::string text;
  // The time-out in milliseconds, the menu item id or the mouse message.
  std::int64_t number = 0;
};

inline constexpr std::int64_t kDefaultWaitMs = 10000;

namespace detail {

enum class Arguments { None, Text, TextAndOptionalWait, Number };

struct VerbSpelling {
  std::string_view name;
  Verb verb;
  Arguments arguments;
  std::int64_t maxNumber;
};

inline constexpr std::int64_t kMaxWaitMs = 0x7FFFFFFF;
inline constexpr std::int64_t kMaxMenuId = 0xFFFF;  // a menu command carries 16 bits
inline constexpr std::int64_t kMaxMouseMessage = 0x7FFFFFFF;

inline constexpr std::array kVerbs = {
    VerbSpelling{"wait-window", Verb::WaitWindow, Arguments::TextAndOptionalWait, kMaxWaitMs},
    VerbSpelling{"exists", Verb::Exists, Arguments::Text, 0},
    VerbSpelling{"wait-gone", Verb::WaitGone, Arguments::TextAndOptionalWait, kMaxWaitMs},
    VerbSpelling{"close", Verb::Close, Arguments::None, 0},
    VerbSpelling{"menu", Verb::Menu, Arguments::Number, kMaxMenuId},
    VerbSpelling{"tray", Verb::Tray, Arguments::Number, kMaxMouseMessage},
    VerbSpelling{"minimise", Verb::Minimise, Arguments::None, 0},
    VerbSpelling{"state", Verb::State, Arguments::None, 0},
    VerbSpelling{"label", Verb::Label, Arguments::None, 0},
    VerbSpelling{"end-session", Verb::EndSession, Arguments::None, 0},
    VerbSpelling{"dismiss", Verb::Dismiss, Arguments::Text, 0},
    VerbSpelling{"dismiss-text", Verb::DismissText, Arguments::Text, 0},
    VerbSpelling{"message-text", Verb::MessageText, Arguments::Text, 0},
};

// A plain decimal number from 0 to `max`: no sign, no spaces, nothing after it.
inline std::optional<std::int64_t> ParseNumber(std::string_view text, std::int64_t max) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value > max) {
    return std::nullopt;
  }
  return value;
}

}  // namespace detail

// The command that the arguments after the program's name spell; nothing when they spell none.
inline std::optional<PokeCommand> ParsePokeCommand(std::span<const std::string_view> args) {
  using detail::Arguments;
  if (args.empty()) return std::nullopt;
  for (const detail::VerbSpelling& spelling : detail::kVerbs) {
    if (spelling.name != args[0]) continue;
    const std::span<const std::string_view> rest = args.subspan(1);
    PokeCommand command;
    command.verb = spelling.verb;
    switch (spelling.arguments) {
      case Arguments::None:
        if (!rest.empty()) return std::nullopt;
        return command;
      case Arguments::Text:
        if (rest.size() != 1) return std::nullopt;
        command.text = rest[0];
        return command;
      case Arguments::TextAndOptionalWait: {
        if (rest.empty() || rest.size() > 2) return std::nullopt;
        command.text = rest[0];
        command.number = kDefaultWaitMs;
        if (rest.size() == 1) return command;
        const auto wait = detail::ParseNumber(rest[1], spelling.maxNumber);
        if (!wait) return std::nullopt;
        command.number = *wait;
        return command;
      }
      case Arguments::Number: {
        if (rest.size() != 1) return std::nullopt;
        const auto number = detail::ParseNumber(rest[0], spelling.maxNumber);
        if (!number) return std::nullopt;
        command.number = *number;
        return command;
      }
    }
  }
  return std::nullopt;
}

inline constexpr std::string_view kPokeUsage =
    "usage: skein-poke COMMAND\n"
    "  wait-window TITLE [MS]  wait until a top-level window titled TITLE exists (10000 ms)\n"
    "  exists TITLE            whether such a window exists now\n"
    "  wait-gone TITLE [MS]    wait until no such window exists (10000 ms)\n"
    "  close                   post the close request to the SkeinerWard window\n"
    "  menu ID                 post the menu command ID\n"
    "  tray MOUSEMSG           post the tray icon's mouse message (513 is a left press)\n"
    "  minimise                post the minimise command\n"
    "  state                   print visible=0|1 iconic=0|1 zoomed=0|1\n"
    "  label                   print the label's text\n"
    "  end-session             end the desktop session for the program, then end it\n"
    "  dismiss TITLE           press OK in the dialog titled TITLE\n"
    "  dismiss-text TEXT       cancel the dialog that shows TEXT\n"
    "  message-text TITLE      print the message of the box titled TITLE\n"
    "exit code: 0 done, 1 not found or timed out, 2 bad arguments\n";

}  // namespace skein::poke
