# lark_add_game(target SPRITES dir SOUNDS dir [FONT file])
#
# Lays out the runnable tree of a game built on the Lark engine, which reads
# "../sprites/", "../sounds/" and "../lk-font.ttf" relative to the folder the
# program runs in:
#   <build>/<target>/bin/<target>
#   <build>/<target>/sprites/   copied from SPRITES
#   <build>/<target>/sounds/    copied from SOUNDS
#   <build>/<target>/lk-font.ttf   FONT, or the font installed with the engine
# The target is linked with Lark::engine. The copies are made again whenever
# a build runs, so edited sprites show at the next start.
function(lark_add_game target)
  cmake_parse_arguments(PARSE_ARGV 1 LARK "" "SPRITES;SOUNDS;FONT" "")
  if(NOT TARGET ${target})
    message(FATAL_ERROR "lark_add_game: ${target} is not a target; add_executable(${target} ...) first")
  endif()
  set(font ${LARK_FONT})
  set(licence "")
  if(NOT font)
    set(font ${LARK_DEFAULT_FONT})
    set(licence ${LARK_DEFAULT_FONT_LICENCE})
  endif()
  get_filename_component(font ${font} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "lark_add_game: the font ${font} does not exist")
  endif()

  set(tree ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${tree}/bin)
  target_link_libraries(${target} PRIVATE Lark::engine)
  set(commands COMMAND ${CMAKE_COMMAND} -E make_directory ${tree}/bin)
  foreach(kind SPRITES SOUNDS)
    string(TOLOWER ${kind} folder)
    if(LARK_${kind})
      get_filename_component(from ${LARK_${kind}} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_directory ${from} ${tree}/${folder})
    else()
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory ${tree}/${folder})
    endif()
  endforeach()
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${font} ${tree}/lk-font.ttf)
  if(licence)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${licence} ${tree}/lk-font-copyright.txt)
  endif()
  add_custom_target(${target}_tree ALL ${commands} COMMENT "Laying out ${tree}" VERBATIM)
  add_dependencies(${target} ${target}_tree)
endfunction()
