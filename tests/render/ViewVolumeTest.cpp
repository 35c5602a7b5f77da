// The visibility test's sphere against the view volume. A sphere that touches
// a plane from outside is culled, and "touching" is decided by the
// single-precision arithmetic the game has always used: planes from the float
// rows of projection x view x model, each plane's length through a double
// square root rounded back to float, the distance in float. A double
// evaluation lets most of these spheres through.
#include "render/ViewVolume.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

// The six distances of the model's origin, plane by plane, from the flat
// arrays of K and the model matrix.
std::array<float, 6> originDistances(const glm::mat4& k4, const glm::mat4& model) {
  const float* k = glm::value_ptr(k4);
  const float* m = glm::value_ptr(model);
  std::array<float, 6> result{};
  for (int p = 0; p < 6; ++p) {
    const int r = p / 2;
    const float sign = p % 2 == 0 ? 1.0f : -1.0f;
    const float a = k[3] + sign * k[r], b = k[7] + sign * k[4 + r], c = k[11] + sign * k[8 + r],
                d = k[15] + sign * k[12 + r];
    const float n = static_cast<float>(std::sqrt(static_cast<double>(a * a + b * b + c * c)));
    result[p] = (a / n) * m[3] + (b / n) * m[7] + (c / n) * m[11] + d / n;
  }
  return result;
}

bool seenByTheseDistances(const std::array<float, 6>& distances, float radius) {
  for (float distance : distances)
    if (-radius >= distance)
      return false;
  return true;
}

} // namespace

TEST(ViewVolumeTest, ASphereTouchingAPlaneFromOutsideIsCulledToTheLastBit) {
  std::mt19937 random(34);
  std::uniform_real_distribution<float> spread(-600.0f, 600.0f), angle(0.0f, 360.0f), size(0.5f, 3.0f);
  const glm::mat4 projection = glm::perspective(glm::radians(45.0f), 800.0f / 600.0f, 1.0f, 10000.0f);
  int touching = 0;
  for (int i = 0; i < 4000; ++i) {
    const glm::vec3 eye(spread(random), spread(random) * 0.3f + 200.0f, spread(random));
    const glm::mat4 view = glm::lookAt(eye, glm::vec3(spread(random), 60.0f, spread(random)), glm::vec3(0, 1, 0));
    const glm::mat4 model =
        glm::scale(glm::rotate(glm::translate(glm::mat4(1.0f),
                                              glm::vec3(spread(random), spread(random) * 0.2f + 80.0f, spread(random))),
                               glm::radians(angle(random)), glm::vec3(0, 1, 0)),
                   glm::vec3(size(random)));
    const glm::mat4 k = projection * (view * model);
    const std::array<float, 6> distances = originDistances(k, model);
    const ViewVolume seen(k);
    for (float distance : distances) {
      if (!(distance < 0.0f))
        continue;
      ++touching;
      const float radius = -distance;
      EXPECT_FALSE(seen.mayHoldSphere(glm::vec3(0.0f), radius)) << "case " << i << ", radius " << radius;
      // a sphere one step larger reaches in, unless another plane holds it out
      const float larger = std::nextafter(radius, std::numeric_limits<float>::infinity());
      EXPECT_EQ(seen.mayHoldSphere(glm::vec3(0.0f), larger), seenByTheseDistances(distances, larger))
          << "case " << i << ", radius " << larger;
    }
  }
  EXPECT_GT(touching, 4000);

  // a model with no meshes has an infinite radius and is never culled
  const ViewVolume behind(projection * glm::lookAt(glm::vec3(0), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0)) *
                          glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 500)));
  EXPECT_FALSE(behind.mayHoldSphere(glm::vec3(0.0f), 1.0f));
  EXPECT_TRUE(behind.mayHoldSphere(glm::vec3(0.0f), std::numeric_limits<float>::infinity()));
}
