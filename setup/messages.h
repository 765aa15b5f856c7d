// The setup's messages (Windows-1252), in one place for the setup sequence
// and for showing them on their own. Every blank counts: the runs of blanks
// push the words onto the lines the dialogs were laid out for.
#pragma once

#include <string>
#include <string_view>

namespace setup_messages {

inline std::string ManualNotice() {
  return std::string(77, ' ') +
         "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD "
         "doppelt";
}

inline std::string GameQuestion() { return std::string(97, ' ') + "M\xF6" "chten Sie das Spiel installieren?"; }

inline std::string SoundNotice() {
  return std::string(2, ' ') + "Vor dem Spielen konfigurieren Sie bitte" + std::string(13, ' ') +
         "erst den Sound mit der CONFIG.EXE," + std::string(16, ' ') + "die Sie im Spiele-Ordner Ihrer Festplatte" +
         std::string(11, ' ') + "finden k\xF6nnen.";
}

// A setup program that did not start, by its name on the CD. Short, so that
// it stands on the notice window's first lines without pushing blanks.
inline std::string SetupNotStarted(std::string_view setup, bool not_found) {
  return "Das Setup-Programm " + std::string(setup) +
         (not_found ? " wurde nicht gefunden." : " konnte nicht gestartet werden.");
}

}  // namespace setup_messages
