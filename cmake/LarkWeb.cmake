# A Lark game on a web page (an Emscripten build with LK_BACKEND web):
#   lark_web_page(<target> TITLE <page title> DATA <folder>)
# makes the program <target>.js with <target>.wasm, packs the folder's
# sprites/, sounds/ and lk-font.ttf into <target>.data under /game, so that
# the game's "../" paths find them from its working folder /game/bin, and
# writes the index.html that loads it all, beside the program. Any static web
# server can serve the four files.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/index.html.in)
  set(LARK_WEB_INDEX ${CMAKE_CURRENT_LIST_DIR}/index.html.in)
else()
  set(LARK_WEB_INDEX ${CMAKE_CURRENT_LIST_DIR}/../engine/web/index.html.in)
endif()

function(lark_web_page target)
  cmake_parse_arguments(WEB "" "TITLE;DATA" "" ${ARGN})
  set_target_properties(${target} PROPERTIES SUFFIX .js)
  get_target_property(out ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT out)
    set(out ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(packed)
  foreach(part sprites sounds lk-font.ttf)
    target_link_options(${target} PRIVATE "SHELL:--preload-file ${WEB_DATA}/${part}@/game/${part}")
    list(APPEND packed ${WEB_DATA}/${part})
  endforeach()
  # The data are packed at link time: a changed asset links again.
  file(GLOB_RECURSE assets CONFIGURE_DEPENDS ${WEB_DATA}/sprites/* ${WEB_DATA}/sounds/*)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${assets})
  set(LK_WEB_TITLE ${WEB_TITLE})
  set(LK_WEB_SCRIPT ${target}.js)
  configure_file(${LARK_WEB_INDEX} ${out}/index.html @ONLY)
endfunction()
