// The runtime's standard error: a numbered run-time error that no routine of
// the program catches. The runtime reports it in one message box and ends the
// program with a non-zero status.
#pragma once

#include <stdexcept>
#include <string>

namespace rt {

enum class ErrorNumber : int {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kDivisionByZero = 11,
  kPermissionDenied = 70,
  kObjectRequired = 424,
  kInvalidPropertyValue = 380,
  kInvalidPicture = 481,
  kCannotShowModal = 400,
  kControlNotFound = 730,
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(ErrorNumber number, const std::string& detail = {});
  ErrorNumber number() const { return number_; }
  // The full text of the message box, Windows-1252.
  const std::string& text() const { return text_; }

 private:
  ErrorNumber number_;
  std::string text_;
};

// The standard description of an error number, Windows-1252.
std::string ErrorDescription(ErrorNumber number);

[[noreturn]] void Raise(ErrorNumber number, const std::string& detail = {});

}  // namespace rt
