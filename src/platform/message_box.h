// Message boxes: a caption, a text, a set of buttons and an icon; the answer is the button chosen.
#pragma once

#include <functional>
#include <string>

namespace kivo {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Texts are CP932. Headless: prints "CAPTION: TEXT" (UTF-8) on stderr and answers the first button.
MessageAnswer ShowMessageBox(const std::string& captionCp932, const std::string& textCp932,
                             MessageButtons buttons = MessageButtons::Ok, MessageIcon icon = MessageIcon::None);

// Chooses the message-box back-end for the process; headless until a display is chosen.
void SetMessageBoxesHeadless(bool headless);

// Replaces the answering of message boxes (tests use it to choose a button); empty restores it.
using MessageBoxResponder =
    std::function<MessageAnswer(const std::string& caption, const std::string& text, MessageButtons buttons)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

}  // namespace kivo
