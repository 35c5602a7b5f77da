# felidora_cached_library(<target> LIBRARIES <name>... [DEFINITIONS <d>...]
# [LINK <item>...]): an imported target for static archives lib<name>.a in a
# finished library cache, named by `deps` (the Windows and the browser builds
# keep theirs the same way).
function(felidora_cached_library target)
  cmake_parse_arguments(ARG "" "" "LIBRARIES;DEFINITIONS;LINK" ${ARGN})
  add_library(${target} INTERFACE IMPORTED)
  set(paths "")
  foreach(name ${ARG_LIBRARIES})
    set(path ${deps}/lib/lib${name}.a)
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "${path} is missing from the library cache")
    endif()
    list(APPEND paths ${path})
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${deps}/include
                                             INTERFACE_COMPILE_DEFINITIONS "${ARG_DEFINITIONS}"
                                             INTERFACE_LINK_LIBRARIES "${paths};${ARG_LINK}")
endfunction()
