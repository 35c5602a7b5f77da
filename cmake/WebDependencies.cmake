# The browser game's libraries: static WebAssembly archives cross-built by
# scripts/web-deps.sh into FELIDORA_WEB_DEPS, and Emscripten's own GLFW,
# WebGL, GLEW header and OpenAL (JavaScript libraries inside Emscripten that
# need nothing built). Defines the same targets the Linux build gets from its
# find modules, so the game's own targets read the same everywhere.
if(NOT FELIDORA_WEB_DEPS OR NOT EXISTS ${FELIDORA_WEB_DEPS}/COMPLETE)
  message(FATAL_ERROR "FELIDORA_WEB_DEPS must name a finished cache of scripts/web-deps.sh")
endif()
set(deps ${FELIDORA_WEB_DEPS})

# Emscripten compiles every catch out by default: Assimp reports a broken
# model by an exception it catches itself, and the game's own catches must
# hold too. Assimp's archive is built the same way (scripts/web-deps.sh).
add_compile_options("SHELL:-s DISABLE_EXCEPTION_CATCHING=0")
add_link_options("SHELL:-s DISABLE_EXCEPTION_CATCHING=0")

include(${CMAKE_CURRENT_LIST_DIR}/CachedLibrary.cmake)

function(felidora_web_builtin target)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_LINK_OPTIONS "${ARGN}")
endfunction()

# WebGL 2 only: the game draws with OpenGL ES 3.0 or not at all
felidora_web_builtin(OpenGL::GL "SHELL:-s MIN_WEBGL_VERSION=2" "SHELL:-s MAX_WEBGL_VERSION=2")
felidora_web_builtin(glfw "SHELL:-s USE_GLFW=3")
felidora_web_builtin(GLEW::GLEW) # Emscripten's header; glewInit has nothing to do

felidora_cached_library(assimp::assimp LIBRARIES assimp z)
felidora_cached_library(DevIL::IL LIBRARIES IL png16 z DEFINITIONS IL_STATIC_LIB)
felidora_cached_library(PkgConfig::FFMPEG LIBRARIES avformat avcodec swscale avutil)
felidora_cached_library(PkgConfig::SOUND LIBRARIES sndfile LINK -lopenal)

# GLM is headers only: the host's copy, seen through a folder that holds
# nothing else, so no other Linux header can reach the browser build.
set(glm_view ${CMAKE_BINARY_DIR}/glm-headers)
file(MAKE_DIRECTORY ${glm_view})
file(CREATE_LINK /usr/include/glm ${glm_view}/glm SYMBOLIC)
add_library(glm::glm INTERFACE IMPORTED)
set_target_properties(glm::glm PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${glm_view})
