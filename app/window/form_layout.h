// Form1's measures and order, shared by every toolkit's window. Sizes are in
// twips, 1/1440 inch: 15 twips are one pixel at 96 dots per inch.
#pragma once

#include <array>

namespace quillmere {

// The title of every message box.
inline constexpr char kApplicationTitle[] = "Quillmere";

inline constexpr char kForm1Caption[] = "Form1";
inline constexpr char kCommand1Caption[] = "Start";
inline constexpr char kCheck1Caption[] = "Also write Summary.xlsx";

inline constexpr int kTwipsPerInch = 1440;

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Form1's client area, and each control within it.
inline constexpr int kForm1ClientWidth = 11370;
inline constexpr int kForm1ClientHeight = 6840;
inline constexpr TwipsRect kDir1Rect{360, 960, 3735, 2790};
inline constexpr TwipsRect kDrive1Rect{360, 3840, 3735, 315};
inline constexpr TwipsRect kCommand1Rect{360, 5520, 3375, 615};
// The check box in the right part, level with the top of Dir1.
inline constexpr TwipsRect kCheck1Rect{4560, 960, 3375, 315};

// Dir1's indentation per level, in pixels at 96 dots per inch.
inline constexpr int kDir1IndentPixels = 12;

enum class Control { kDrive1, kDir1, kCommand1, kCheck1 };

// The order the Tab key goes through the controls; the first has the focus
// when the window opens.
inline constexpr std::array<Control, 4> kTabOrder{Control::kDrive1, Control::kDir1, Control::kCommand1,
                                                  Control::kCheck1};

// `twips` in pixels at `dotsPerInch`, rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
  return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace quillmere
