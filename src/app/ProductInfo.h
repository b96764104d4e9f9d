#pragma once
// The product's own texts, shared by the window title, the win message and the
// about box.
inline constexpr const char* kProductName = "Quorrel";
inline constexpr const char* kProductVersion = "1.0.0.0";
inline constexpr const char* kWebAddress = "https://www.quorrel.example";
inline constexpr const char* kRightsLine = "(c) 2026 The Quorrel developers";
inline constexpr const char* kCreditLine = "Made by the Quorrel developers, 2026";
// The mailbox of the contact address; the about box joins it to the web host.
inline constexpr const char* kMailbox = "info";
// The about box's notice: one line feed after its first full stop.
inline constexpr const char* kNotice =
    "Quorrel is free to play and to share, and comes without any warranty.\nMay you find every code in few guesses!";
