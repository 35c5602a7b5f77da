# Damaged content: every model, texture, status image, clip, sound and shader,
# missing, empty, cut to half, random bytes and (images) the wrong size; then
# the real program on a few damaged run folders. All of it carries the label
# "badcontent", so a sanitizer build runs exactly these with
#   ctest -L badcontent
#
# The binary is built like every felidora_test binary, but registered as one
# CTest entry per group of cases rather than one per case: each of its ~450
# cases would otherwise start a process with its own GL context and rebuild
# its suite's game and monitor.
add_executable(badcontent_tests content/BadContentTest.cpp ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
target_link_libraries(badcontent_tests PRIVATE felidora_test_support GTest::gtest GTest::gmock)
set_target_properties(badcontent_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(badcontent_tests shaders content)

# name -> gtest filter
set(BADCONTENT_GROUPS
  "models=BadContent/ModelDamage.*"
  "textures.level=BadContent/TextureDamage.*/Umgebung*:BadContent/TextureDamage.*/Wasser*"
  "textures.player=BadContent/TextureDamage.*/Schnecke*:BadContent/TextureDamage.*/*knaeuel*"
  "textures.enemy=BadContent/TextureDamage.*/Hummelot*:BadContent/TextureDamage.*/Rotor*:BadContent/TextureDamage.*/Laser*"
  "textures.monitor=BadContent/TextureDamage.*/Monitor*:BadContent/MonitorTextureDamage.*"
  "status.health=BadContent/StatusImageDamage.*/Wuerfel*"
  "status.lives=BadContent/StatusImageDamage.*/Lebensanzahl*"
  "status.digits=BadContent/StatusImageDamage.*/PunktezahlZiffernsatz*"
  "status.speed=BadContent/StatusImageDamage.*/Beschleunigungs*"
  "status.labels=BadContent/StatusImageDamage.*/Punkteanzeige*:BadContent/StatusImageDamage.*/FPS*:BadContent/StatusImageDamage.*/Objects*:BadContent/StatusImageDamage.*/FN_*"
  "clips=BadContent/ClipDamage.*"
  "sounds=BadContent/SoundDamage.*"
  "shaders=BadContent/ShaderDamageDeathTest.*"
  "monitor_light=BadContent/MonitorModelDeathTest.*"
  "game=BadContent/GameDamage.*")

# NOTE: under the sanitizers, Mesa's software driver is preloaded so that it
# stays mapped after the last GL context is gone: the memory it still holds at
# exit then counts as reachable instead of leaking from a library LeakSanitizer
# can no longer name. The e2e script hands the preload to the game alone (not
# to Xvfb or xdotool).
set(BADCONTENT_ENVIRONMENT "")
set(BADCONTENT_E2E_ENVIRONMENT "")
if(FELIDORA_SANITIZE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE BADCONTENT_ASAN OUTPUT_STRIP_TRAILING_WHITESPACE)
  find_file(BADCONTENT_MESA_DRIVER swrast_dri.so PATHS /usr/lib/x86_64-linux-gnu/dri /usr/lib/dri NO_DEFAULT_PATH)
  if(BADCONTENT_MESA_DRIVER)
    set(BADCONTENT_ENVIRONMENT "LD_PRELOAD=${BADCONTENT_ASAN} ${BADCONTENT_MESA_DRIVER}")
    set(BADCONTENT_E2E_ENVIRONMENT "FELIDORA_GAME_PRELOAD=${BADCONTENT_ASAN} ${BADCONTENT_MESA_DRIVER}")
  endif()
endif()

foreach(group ${BADCONTENT_GROUPS})
  string(REPLACE "=" ";" parts "${group}")
  list(GET parts 0 name)
  list(GET parts 1 filter)
  add_test(NAME BadContent.${name} COMMAND badcontent_tests --gtest_filter=${filter} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(BadContent.${name} PROPERTIES TIMEOUT 600 LABELS badcontent
                       ENVIRONMENT "${BADCONTENT_ENVIRONMENT}")
endforeach()

# The real program on damaged run folders.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BAD_CONTENT_E2E ${CMAKE_SOURCE_DIR}/tests/e2e/bad_content_e2e.py)
foreach(case truncated_landscape random_default_clip empty_monitor_model wrong_size_status_image
             random_bytes_shader)
  add_test(NAME e2e.bad_content.${case}
           COMMAND ${Python3_EXECUTABLE} ${BAD_CONTENT_E2E} --build ${CMAKE_BINARY_DIR} ${case})
  set_tests_properties(e2e.bad_content.${case} PROPERTIES TIMEOUT 240 LABELS "e2e;badcontent"
                       ENVIRONMENT "${BADCONTENT_E2E_ENVIRONMENT}")
endforeach()
