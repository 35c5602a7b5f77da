felidora_test(render_tests
  render/ModelImportTest.cpp
  render/DrawingTest.cpp
  render/RenderPassTest.cpp
  render/ShadowRegionTest.cpp
  render/MeshTilesTest.cpp)
