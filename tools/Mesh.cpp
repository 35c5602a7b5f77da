// Shape builders for the generated models.
#include "tools/Mesh.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kTwoPi = 6.28318530718f;

glm::vec3 anyPerpendicular(glm::vec3 v) {
  glm::vec3 other = std::fabs(v.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
  return glm::normalize(glm::cross(other, v));
}

} // namespace

void Mesh::append(const Mesh& other) {
  const auto base = static_cast<uint32_t>(positions.size());
  positions.insert(positions.end(), other.positions.begin(), other.positions.end());
  normals.insert(normals.end(), other.normals.begin(), other.normals.end());
  uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
  for (uint32_t index : other.indices)
    indices.push_back(base + index);
}

Mesh& Mesh::transform(const glm::mat4& matrix) {
  const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(matrix)));
  for (auto& p : positions)
    p = glm::vec3(matrix * glm::vec4(p, 1.0f));
  for (auto& n : normals)
    n = glm::normalize(normalMatrix * n);
  // A mirroring matrix turns the winding inside out.
  if (glm::determinant(glm::mat3(matrix)) < 0.0f)
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
      std::swap(indices[t + 1], indices[t + 2]);
  return *this;
}

Mesh& Mesh::mapUvs(glm::vec2 offset, glm::vec2 scale) {
  for (auto& uv : uvs)
    uv = offset + uv * scale;
  return *this;
}

Mesh& Mesh::flip() {
  for (auto& n : normals)
    n = -n;
  for (size_t t = 0; t + 2 < indices.size(); t += 3)
    std::swap(indices[t + 1], indices[t + 2]);
  return *this;
}

Mesh lathe(const std::vector<ProfilePoint>& profile, int segments) {
  Mesh mesh;
  const int count = static_cast<int>(profile.size());
  auto same = [&](int a, int b) {
    return profile[a].radius == profile[b].radius && profile[a].height == profile[b].height;
  };
  for (int i = 0; i < count; ++i) {
    // A repeated point marks a hard edge: take the tangent from one side only.
    int prev = i > 0 && !same(i - 1, i) ? i - 1 : i;
    int next = i + 1 < count && !same(i + 1, i) ? i + 1 : i;
    glm::vec2 tangent(profile[next].radius - profile[prev].radius, profile[next].height - profile[prev].height);
    if (glm::length(tangent) < 1e-9f)
      tangent = glm::vec2(0, 1);
    tangent = glm::normalize(tangent);
    const glm::vec2 outward(tangent.y, -tangent.x);
    const float v = count > 1 ? static_cast<float>(i) / static_cast<float>(count - 1) : 0.0f;
    for (int j = 0; j <= segments; ++j) {
      const float angle = kTwoPi * static_cast<float>(j) / static_cast<float>(segments);
      const float s = std::sin(angle), c = std::cos(angle);
      mesh.positions.emplace_back(profile[i].radius * s, profile[i].height, profile[i].radius * c);
      mesh.normals.push_back(glm::normalize(glm::vec3(outward.x * s, outward.y, outward.x * c)));
      mesh.uvs.emplace_back(static_cast<float>(j) / static_cast<float>(segments), v);
    }
  }
  const int row = segments + 1;
  for (int i = 0; i + 1 < count; ++i) {
    if (same(i, i + 1))
      continue;
    for (int j = 0; j < segments; ++j) {
      const uint32_t a = i * row + j, b = i * row + j + 1, c = (i + 1) * row + j + 1, d = (i + 1) * row + j;
      if (profile[i].radius > 0.0f)
        mesh.indices.insert(mesh.indices.end(), {a, b, c});
      if (profile[i + 1].radius > 0.0f)
        mesh.indices.insert(mesh.indices.end(), {a, c, d});
    }
  }
  return mesh;
}

Mesh ellipsoid(glm::vec3 halfAxes, int segments, int rings) {
  std::vector<ProfilePoint> profile;
  for (int i = 0; i <= rings; ++i) {
    const float a = -kTwoPi / 4.0f + kTwoPi / 2.0f * static_cast<float>(i) / static_cast<float>(rings);
    profile.push_back({i == 0 || i == rings ? 0.0f : std::cos(a), std::sin(a)});
  }
  return lathe(profile, segments).transform(glm::scale(glm::mat4(1.0f), halfAxes));
}

namespace {

// Rings of a swept tube with given frames; u along the path, v around it.
void addTubeRings(Mesh& mesh, const std::vector<glm::vec3>& path, const std::vector<glm::vec3>& tangents,
                  const std::vector<glm::vec3>& sideways, const std::function<float(float)>& radiusAt, int sides,
                  bool closed) {
  const int count = static_cast<int>(path.size());
  const int rings = closed ? count + 1 : count;
  const auto base = static_cast<uint32_t>(mesh.positions.size());
  for (int k = 0; k < rings; ++k) {
    const int p = k % count;
    const float t = static_cast<float>(k) / static_cast<float>(rings - 1);
    const float radius = radiusAt(t);
    const glm::vec3 n = sideways[p];
    const glm::vec3 b = glm::cross(tangents[p], n);
    for (int s = 0; s <= sides; ++s) {
      const float angle = kTwoPi * static_cast<float>(s) / static_cast<float>(sides);
      const glm::vec3 radial = std::cos(angle) * n + std::sin(angle) * b;
      mesh.positions.push_back(path[p] + radius * radial);
      mesh.normals.push_back(radial);
      mesh.uvs.emplace_back(t, static_cast<float>(s) / static_cast<float>(sides));
    }
  }
  const int row = sides + 1;
  for (int k = 0; k + 1 < rings; ++k)
    for (int s = 0; s < sides; ++s) {
      const uint32_t a = base + k * row + s, b = base + (k + 1) * row + s, c = base + k * row + s + 1,
                     d = base + (k + 1) * row + s + 1;
      mesh.indices.insert(mesh.indices.end(), {b, a, c, b, c, d});
    }
}

} // namespace

Mesh tube(const std::vector<glm::vec3>& path, const std::function<float(float)>& radiusAt, int sides, bool capEnds) {
  Mesh mesh;
  const int count = static_cast<int>(path.size());
  if (count < 2)
    return mesh;
  std::vector<glm::vec3> tangents(count), sideways(count);
  for (int k = 0; k < count; ++k) {
    const glm::vec3 a = path[k > 0 ? k - 1 : 0], b = path[k + 1 < count ? k + 1 : count - 1];
    tangents[k] = glm::normalize(b - a);
  }
  // Parallel transport keeps the rings from twisting along the path.
  sideways[0] = anyPerpendicular(tangents[0]);
  for (int k = 1; k < count; ++k) {
    glm::vec3 n = sideways[k - 1] - glm::dot(sideways[k - 1], tangents[k]) * tangents[k];
    sideways[k] = glm::length(n) > 1e-6f ? glm::normalize(n) : anyPerpendicular(tangents[k]);
  }
  addTubeRings(mesh, path, tangents, sideways, radiusAt, sides, false);
  if (!capEnds)
    return mesh;
  for (int end = 0; end < 2; ++end) {
    const int k = end == 0 ? 0 : count - 1;
    const float radius = radiusAt(end == 0 ? 0.0f : 1.0f);
    if (radius <= 0.0f)
      continue;
    const glm::vec3 normal = end == 0 ? -tangents[k] : tangents[k];
    const auto centre = static_cast<uint32_t>(mesh.positions.size());
    mesh.positions.push_back(path[k]);
    mesh.normals.push_back(normal);
    mesh.uvs.emplace_back(end == 0 ? 0.0f : 1.0f, 0.5f);
    const glm::vec3 n = sideways[k], b = glm::cross(tangents[k], n);
    for (int s = 0; s <= sides; ++s) {
      const float angle = kTwoPi * static_cast<float>(s) / static_cast<float>(sides);
      mesh.positions.push_back(path[k] + radius * (std::cos(angle) * n + std::sin(angle) * b));
      mesh.normals.push_back(normal);
      mesh.uvs.emplace_back(end == 0 ? 0.0f : 1.0f, static_cast<float>(s) / static_cast<float>(sides));
    }
    for (int s = 0; s < sides; ++s) {
      const uint32_t a = centre + 1 + s, b = centre + 2 + s;
      if (end == 0)
        mesh.indices.insert(mesh.indices.end(), {centre, b, a});
      else
        mesh.indices.insert(mesh.indices.end(), {centre, a, b});
    }
  }
  return mesh;
}

Mesh ringTube(const std::vector<glm::vec3>& path, float radius, int sides) {
  Mesh mesh;
  const int count = static_cast<int>(path.size());
  if (count < 3)
    return mesh;
  glm::vec3 centroid(0.0f);
  for (const auto& p : path)
    centroid += p / static_cast<float>(count);
  std::vector<glm::vec3> tangents(count), sideways(count);
  for (int k = 0; k < count; ++k) {
    tangents[k] = glm::normalize(path[(k + 1) % count] - path[(k + count - 1) % count]);
    glm::vec3 out = path[k] - centroid;
    out -= glm::dot(out, tangents[k]) * tangents[k];
    sideways[k] = glm::length(out) > 1e-6f ? glm::normalize(out) : anyPerpendicular(tangents[k]);
  }
  addTubeRings(
      mesh, path, tangents, sideways, [radius](float) { return radius; }, sides, true);
  return mesh;
}

Mesh box(glm::vec3 lo, glm::vec3 hi) {
  Mesh mesh;
  // Each face: normal, then its four corners counter-clockwise seen from outside.
  const glm::vec3 faces[6][5] = {
      {{0, 0, 1}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}},
      {{0, 0, -1}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}},
      {{1, 0, 0}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}},
      {{-1, 0, 0}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}},
      {{0, 1, 0}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}},
      {{0, -1, 0}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}},
  };
  const glm::vec2 corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& face : faces) {
    const auto base = static_cast<uint32_t>(mesh.positions.size());
    for (int c = 0; c < 4; ++c) {
      mesh.positions.push_back(face[c + 1]);
      mesh.normals.push_back(face[0]);
      mesh.uvs.push_back(corners[c]);
    }
    mesh.indices.insert(mesh.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
  }
  return mesh;
}

Mesh quad(glm::vec2 corner0, glm::vec2 corner1, glm::vec2 uv0, glm::vec2 uv1) {
  Mesh mesh;
  mesh.positions = {
      {corner0.x, corner0.y, 0}, {corner1.x, corner0.y, 0}, {corner1.x, corner1.y, 0}, {corner0.x, corner1.y, 0}};
  mesh.normals.assign(4, glm::vec3(0, 0, 1));
  mesh.uvs = {{uv0.x, uv0.y}, {uv1.x, uv0.y}, {uv1.x, uv1.y}, {uv0.x, uv1.y}};
  mesh.indices = {0, 1, 2, 0, 2, 3};
  return mesh;
}
