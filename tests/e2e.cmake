# End-to-end cases: the real executable under its own Xvfb, driven by xdotool.
find_package(X11 REQUIRED)
add_executable(WindowClose e2e/WindowClose.c)
target_link_libraries(WindowClose PRIVATE X11::X11)
set_target_properties(WindowClose PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(E2E_SCRIPT ${CMAKE_SOURCE_DIR}/tests/e2e/felidora_e2e.py)
foreach(case escape_quits window_close missing_vertex_shader broken_fragment_shader
             world_on_screen statistics_row tutorial_clip crash_into_ground gl_debug_play
             started_elsewhere scaled_to_screen installed record_and_replay bad_replays
             sound_wave_file no_audio_device audio_device_lost)
  add_test(NAME e2e.${case}
           COMMAND ${Python3_EXECUTABLE} ${E2E_SCRIPT} --build ${CMAKE_BINARY_DIR} --cmake ${CMAKE_COMMAND} ${case})
  set_tests_properties(e2e.${case} PROPERTIES TIMEOUT 240 LABELS e2e)
endforeach()
