// The one error class of the program: it carries the message text as the system shows it (CP932 bytes).
#pragma once

#include <stdexcept>
#include <string>

namespace kivo {

class EKivoError : public std::runtime_error {
public:
  explicit EKivoError(const std::string& messageCp932) : std::runtime_error(messageCp932) {}
  // The message as CP932 bytes, exactly as it is shown to the player.
  const std::string& Message() const { return message_; }

private:
  std::string message_ = what();
};

}  // namespace kivo
