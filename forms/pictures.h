// The program's pictures, embedded from the files in forms/pictures/ at
// build time: each is the whole file, bytes as they stand on disk.
#pragma once

#include <cstdint>
#include <span>

namespace forms::pictures {

std::span<const std::uint8_t> MainIcon();        // the program's icon
std::span<const std::uint8_t> MainBackground();  // the welcome window's background bitmap
std::span<const std::uint8_t> WelcomeInset();    // the framed inset of the welcome screen
std::span<const std::uint8_t> WelcomeScreen();   // the welcome screen's artwork
std::span<const std::uint8_t> DialogIcon();      // the offer and notice windows' icon
std::span<const std::uint8_t> ReaderProduct();   // the reader product beside the offer
std::span<const std::uint8_t> ProductRange();    // the closing screen's range of products

}  // namespace forms::pictures
