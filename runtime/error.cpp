// Texts of the runtime's standard error message (Windows-1252).
#include "runtime/error.h"

namespace rt {

std::string ErrorDescription(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::kInvalidProcedureCall: return "Ung\xFCltiger Prozeduraufruf oder ung\xFCltiges Argument";
    case ErrorNumber::kOverflow: return "\xDC" "berlauf";
    case ErrorNumber::kOutOfMemory: return "Nicht gen\xFCgend Speicher";
    case ErrorNumber::kDivisionByZero: return "Division durch Null";
    case ErrorNumber::kPermissionDenied: return "Zugriff verweigert";
    case ErrorNumber::kInvalidPropertyValue: return "Ung\xFCltiger Eigenschaftswert";
    case ErrorNumber::kCannotShowModal:
      return "Formular wird bereits angezeigt; kann nicht modal angezeigt werden";
    case ErrorNumber::kObjectRequired: return "Objekt erforderlich";
    case ErrorNumber::kInvalidPicture: return "Ung\xFCltiges Bild";
    case ErrorNumber::kControlNotFound: return "Steuerelement nicht gefunden";
  }
  return "Anwendungs- oder objektdefinierter Fehler";
}

namespace {
std::string ComposeText(ErrorNumber number, const std::string& detail) {
  std::string text = "Laufzeitfehler '" + std::to_string(static_cast<int>(number)) + "':\n\n" +
                     ErrorDescription(number);
  if (!detail.empty()) text += "\n\n(" + detail + ")";
  return text;
}
}  // namespace

RuntimeError::RuntimeError(ErrorNumber number, const std::string& detail)
    : std::runtime_error(ComposeText(number, detail)), number_(number), text_(what()) {}

void Raise(ErrorNumber number, const std::string& detail) { throw RuntimeError(number, detail); }

}  // namespace rt
