// Message boxes through SDL, or on stderr when running headless.
#include "platform/message_box.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/cp932.h"

namespace kivo {
namespace {

std::atomic<bool> g_headless{true};
MessageBoxResponder g_responder;

struct ButtonChoice {
  const char* text;
  MessageAnswer answer;
};

std::vector<ButtonChoice> ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return {{"OK", MessageAnswer::Ok}};
    case MessageButtons::OkCancel: return {{"OK", MessageAnswer::Ok}, {"Cancel", MessageAnswer::Cancel}};
    case MessageButtons::YesNo: return {{"Yes", MessageAnswer::Yes}, {"No", MessageAnswer::No}};
    case MessageButtons::YesNoCancel:
      return {{"Yes", MessageAnswer::Yes}, {"No", MessageAnswer::No}, {"Cancel", MessageAnswer::Cancel}};
  }
  return {{"OK", MessageAnswer::Ok}};
}

Uint32 FlagsOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

}  // namespace

void SetMessageBoxesHeadless(bool headless) { g_headless = headless; }

void SetMessageBoxResponder(MessageBoxResponder responder) { g_responder = std::move(responder); }

MessageAnswer ShowMessageBox(const std::string& captionCp932, const std::string& textCp932, MessageButtons buttons,
                             MessageIcon icon) {
  if (g_responder) return g_responder(captionCp932, textCp932, buttons);
  std::vector<ButtonChoice> choices = ButtonsOf(buttons);
  std::string caption = Cp932ToUtf8(captionCp932);
  std::string text = Cp932ToUtf8(textCp932);
  if (g_headless) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return choices.front().answer;
  }
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < choices.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (i + 1 == choices.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({flags, static_cast<int>(i), choices[i].text});
  }
  SDL_MessageBoxData box{FlagsOf(icon), SDL_GL_GetCurrentWindow(), caption.c_str(), text.c_str(),
                         static_cast<int>(data.size()), data.data(), nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
    // No way to ask: report on stderr and take the first button, as headless does.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return choices.front().answer;
  }
  return choices[static_cast<size_t>(pressed)].answer;
}

}  // namespace kivo
