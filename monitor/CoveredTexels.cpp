#include "monitor/CoveredTexels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

void CoveredTexels::reset(int x, int y, int width, int height, int textureWidth, int textureHeight,
                          const std::vector<std::uint8_t>& level0) {
  left = std::max(x, 0);
  bottom = std::max(y, 0);
  columns = std::max(std::min(x + width, textureWidth) - left, 0);
  rows = std::max(std::min(y + height, textureHeight) - bottom, 0);
  if (columns == 0 || rows == 0)
    columns = rows = 0;
  rgba.assign(static_cast<std::size_t>(columns) * rows * 4, 0);
  if (textureWidth > 0 && textureHeight > 0 &&
      level0.size() == static_cast<std::size_t>(textureWidth) * static_cast<std::size_t>(textureHeight) * 4)
    write(0, 0, textureWidth, textureHeight, level0.data(), textureWidth);
}

void CoveredTexels::write(int x, int y, int width, int height, const std::uint8_t* source, int rowLength) {
  const int fromColumn = std::max(x, left);
  const int toColumn = std::min(x + width, left + columns);
  const int fromRow = std::max(y, bottom);
  const int toRow = std::min(y + height, bottom + rows);
  if (source == nullptr || fromColumn >= toColumn || fromRow >= toRow)
    return;
  const std::size_t rowBytes = static_cast<std::size_t>(toColumn - fromColumn) * 4;
  for (int row = fromRow; row < toRow; ++row)
    std::memcpy(&rgba[(static_cast<std::size_t>(row - bottom) * columns + (fromColumn - left)) * 4],
                source + (static_cast<std::size_t>(row - y) * rowLength + (fromColumn - x)) * 4, rowBytes);
}
