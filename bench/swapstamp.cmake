# The swap clock preloaded by bench/blackbox_ab.sh: a plain C library, so that
# it can clock any build of the game.
add_library(swap_stamp SHARED SwapStamp.c)
target_link_libraries(swap_stamp PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(swap_stamp PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
