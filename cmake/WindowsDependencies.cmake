# The Windows game's libraries: static archives cross-built by
# scripts/windows-deps.sh into FELIDORA_WINDOWS_DEPS. Defines the same targets
# the Linux build gets from its find modules, so the game's own targets read
# the same on both systems.
if(NOT FELIDORA_WINDOWS_DEPS OR NOT EXISTS ${FELIDORA_WINDOWS_DEPS}/COMPLETE)
  message(FATAL_ERROR "FELIDORA_WINDOWS_DEPS must name a finished cache of scripts/windows-deps.sh")
endif()
set(deps ${FELIDORA_WINDOWS_DEPS})

# one self-contained Felidora.exe: no libstdc++, libgcc or winpthread DLLs
add_link_options(-static)

find_package(OpenGL REQUIRED)
find_package(glfw3 3.3 REQUIRED CONFIG)
find_package(assimp REQUIRED CONFIG)

include(${CMAKE_CURRENT_LIST_DIR}/CachedLibrary.cmake)

felidora_cached_library(GLEW::GLEW LIBRARIES glew32 DEFINITIONS GLEW_STATIC LINK OpenGL::GL)
felidora_cached_library(DevIL::IL LIBRARIES IL png16 z DEFINITIONS IL_STATIC_LIB)
felidora_cached_library(PkgConfig::FFMPEG LIBRARIES avformat avcodec swscale avutil LINK bcrypt)
felidora_cached_library(PkgConfig::SOUND LIBRARIES OpenAL32 sndfile DEFINITIONS AL_LIBTYPE_STATIC
                        LINK winmm ole32 avrt)

# GLM is headers only: the host's copy, seen through a folder that holds
# nothing else, so no other Linux header can reach the Windows build.
set(glm_view ${CMAKE_BINARY_DIR}/glm-headers)
file(MAKE_DIRECTORY ${glm_view})
file(CREATE_LINK /usr/include/glm ${glm_view}/glm SYMBOLIC)
add_library(glm::glm INTERFACE IMPORTED)
set_target_properties(glm::glm PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${glm_view})
