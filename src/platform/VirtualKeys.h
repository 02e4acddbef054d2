// Windows virtual-key codes that the program tests. Letters and digits are their upper-case
// ASCII codes ('A' = 65, '0' = 48) and are written as character literals.
// Named k... inside a namespace so that they never meet the Windows headers' VK_ macros.
#pragma once

namespace platform::vk {

// Mouse buttons go through the same key tests as keys.
inline constexpr int kLButton = 0x01;
inline constexpr int kRButton = 0x02;
inline constexpr int kMButton = 0x04;

inline constexpr int kBack = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kClear = 0x0C;
inline constexpr int kReturn = 0x0D;
// Generic modifiers: down while either side is down.
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kMenu = 0x12; // Alt
inline constexpr int kPause = 0x13;
inline constexpr int kCapital = 0x14;
inline constexpr int kConvert = 0x1C;
inline constexpr int kNonConvert = 0x1D;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPrior = 0x21; // Page Up
inline constexpr int kNext = 0x22;  // Page Down
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kSnapshot = 0x2C;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
inline constexpr int kLWin = 0x5B;
inline constexpr int kRWin = 0x5C;
inline constexpr int kApps = 0x5D;

// Keypad: always these codes here, whatever the NumLock state.
inline constexpr int kNumpad0 = 0x60;
inline constexpr int kNumpad1 = 0x61;
inline constexpr int kNumpad2 = 0x62;
inline constexpr int kNumpad3 = 0x63;
inline constexpr int kNumpad4 = 0x64;
inline constexpr int kNumpad5 = 0x65;
inline constexpr int kNumpad6 = 0x66;
inline constexpr int kNumpad7 = 0x67;
inline constexpr int kNumpad8 = 0x68;
inline constexpr int kNumpad9 = 0x69;
inline constexpr int kMultiply = 0x6A;
inline constexpr int kAdd = 0x6B;
inline constexpr int kSeparator = 0x6C;
inline constexpr int kSubtract = 0x6D;
inline constexpr int kDecimal = 0x6E;
inline constexpr int kDivide = 0x6F;

inline constexpr int kF1 = 0x70;
inline constexpr int kF2 = 0x71;
inline constexpr int kF3 = 0x72;
inline constexpr int kF4 = 0x73;
inline constexpr int kF5 = 0x74;
inline constexpr int kF6 = 0x75;
inline constexpr int kF7 = 0x76;
inline constexpr int kF8 = 0x77;
inline constexpr int kF9 = 0x78;
inline constexpr int kF10 = 0x79;
inline constexpr int kF11 = 0x7A;
inline constexpr int kF12 = 0x7B;

inline constexpr int kNumLock = 0x90;
inline constexpr int kScroll = 0x91;

// Side-specific modifiers; pressing one also presses the generic code above.
inline constexpr int kLShift = 0xA0;
inline constexpr int kRShift = 0xA1;
inline constexpr int kLControl = 0xA2;
inline constexpr int kRControl = 0xA3;
inline constexpr int kLMenu = 0xA4;
inline constexpr int kRMenu = 0xA5;

// Punctuation keys with their codes on a Japanese keyboard (named as Windows names them).
inline constexpr int kOem1 = 0xBA;      // 186  ":*"
inline constexpr int kOemPlus = 0xBB;   // 187  ";+", the key right of L
inline constexpr int kOemComma = 0xBC;  // 188  ",<"
inline constexpr int kOemMinus = 0xBD;  // 189  "-=", the key right of 0
inline constexpr int kOemPeriod = 0xBE; // 190  ".>"
inline constexpr int kOem2 = 0xBF;      // 191  "/?"
inline constexpr int kOem3 = 0xC0;      // 192  "@`"
inline constexpr int kOem4 = 0xDB;      // 219  "[{"
inline constexpr int kOem5 = 0xDC;      // 220  yen and "|"
inline constexpr int kOem6 = 0xDD;      // 221  "]}"
inline constexpr int kOem7 = 0xDE;      // 222  "^~", two right of 0
inline constexpr int kOem102 = 0xE2;    // 226  "\_" (ro)

// Codes are bytes; anything outside is no key.
inline constexpr int kCount = 256;

} // namespace platform::vk
