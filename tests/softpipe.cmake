# A second GL implementation: Mesa's softpipe (same packages as llvmpipe,
# OpenGL 3.3 core, about 30 times slower) runs a chosen few GL tests and
# end-to-end cases, so that what one driver forgives has a second judge. Each
# group is one CTest entry with the label "softpipe":
#   ctest -L softpipe
# The set is chosen to keep the whole suite short on two cores: the game's
# own GL paths (programs, passes, water, samplers, the monitor's texture) and
# the real program starting, drawing and quitting.

# name -> binary -> gtest filter. NOTE: softpipe's GL_PRIMITIVES_GENERATED
# query counts 0 for every draw, so the two drawing tests that count
# primitives run on llvmpipe only.
set(SOFTPIPE_GROUPS
  "shader_programs|app_tests|ShaderTest.*:GameConstructionTest.*"
  "drawing|render_tests|DrawingTest.*:StrictGl.*:LevelSetUp.*:-DrawingTest.ObjectBehindTheCameraIsCulledAndDrawsNothing:DrawingTest.CloneDrawsThePrototypesMeshesAndFreesNothingOfThem"
  "render_passes|render_tests|RenderPassTest.*:-RenderPassTest.ThreeHundredFramesLeaveNoGlError"
  "monitor_texture|monitor_tests|MonitorStatus.FirstUpdate*:MonitorStatus.RealImage*:MonitorStatus.StatisticsRow*:MonitorStatus.ScreenLight*")

foreach(group ${SOFTPIPE_GROUPS})
  string(REPLACE "|" ";" parts "${group}")
  list(GET parts 0 name)
  list(GET parts 1 binary)
  list(GET parts 2 filter)
  add_test(NAME softpipe.${name} COMMAND ${binary} --gtest_filter=${filter} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(softpipe.${name} PROPERTIES TIMEOUT 300 LABELS softpipe
                       ENVIRONMENT "GALLIUM_DRIVER=softpipe")
endforeach()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(case escape_quits)
  add_test(NAME softpipe.e2e.${case}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/felidora_e2e.py --build ${CMAKE_BINARY_DIR} ${case})
  set_tests_properties(softpipe.e2e.${case} PROPERTIES TIMEOUT 240 LABELS "softpipe;e2e"
                       ENVIRONMENT "GALLIUM_DRIVER=softpipe")
endforeach()
