// The message of the error an action raises, for tests that compare error texts.
#pragma once

#include <functional>
#include <string>

#include "platform/kivo_error.h"

namespace kivo::testkit {

// The EKivoError message, or "(no error)" when the action raised none.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKivoError& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace kivo::testkit
