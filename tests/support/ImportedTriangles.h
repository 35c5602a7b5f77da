// A model's triangles as the game imports them (its importer flags, every
// face of every mesh), flattened to x, y, z per corner: the input of the
// collision tests and benchmarks.
#pragma once

#include <string>
#include <vector>

namespace felidora::test {

// Empty when the file does not import.
std::vector<float> importedTriangles(const std::string& path);

} // namespace felidora::test
