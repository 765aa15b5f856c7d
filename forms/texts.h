// Every text the program shows, Windows-1252, in one place: the labels'
// texts of the window definitions, and the setup's messages shown in the
// message windows. Every blank counts: the runs of blanks push the words
// onto the lines the windows were laid out for.
#pragma once

#include <string>
#include <string_view>

namespace forms::texts {

// The offer's two labels.
inline constexpr std::string_view kT1 =
    "Diese Programm erm\xF6glicht Ihnen die Ansicht des elektronischen Handbuches f\xFCr das von Ihnen zu "
    "installierende Spiel.";
inline constexpr std::string_view kT2 = "M\xF6" "chten Sie Acrobat   Reader installieren?";

// The confirmation's label.
inline constexpr std::string_view kT3 =
    "Ohne das Handbuch zu lesen, k\xF6nnte  es eventuell schwierig werden, das Programm  zu spielen."
    "                                  "
    "Sind Sie sicher, da\xDF Sie es \"NICHT\" installieren wollen?";

// The notice window's label as designed; the setup shows its own messages
// in its place.
inline constexpr std::string_view kT4 =
    "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD "
    "doppelt.";

// The setup's messages, shown in the notice and question windows.
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

}  // namespace forms::texts
