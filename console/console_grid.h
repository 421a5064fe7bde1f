// The console grid as a model with no I/O: cells, attributes, cursor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

class ConsoleGrid {
 public:
  static constexpr int kWidth = 80;
  static constexpr int kHeight = 25;

  ConsoleGrid();

  void Write(std::string_view bytes);
  void Clear();
  void ClearEol();
  void GotoXY(int column, int row);  // 1-based, clamped
  int X() const { return x_; }       // 0-based; may be kWidth (parked)
  int Y() const { return y_; }
  uint8_t attribute() const { return attr_; }
  void set_attribute(uint8_t a) { attr_ = a; }

  char Cell(int x, int y) const { return cells_[y * kWidth + x]; }
  uint8_t Attr(int x, int y) const { return attrs_[y * kWidth + x]; }
  std::string RowText(int y) const;

 private:
  void Put(char c);
  void LineFeed();
  std::vector<char> cells_;
  std::vector<uint8_t> attrs_;
  int x_ = 0, y_ = 0;
  uint8_t attr_ = 0x07;
};

}  // namespace kal
