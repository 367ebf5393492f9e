# Tests of the web build, run by CTest: the zip of scripts/package-web,
# unzipped and served on 127.0.0.1, played in Debian's headless Chromium by
# tests/web/webplay.py, judged against what the Linux build's program draws.
set(LK_LINUX_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH
    "A Linux build of the same sources, whose program draws the reference pictures")
foreach(case Play Assets Round Failures)
  add_test(NAME web.${case} COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/webplay.py
           ${CMAKE_BINARY_DIR}/fowlshot-web.zip ${LK_LINUX_BUILD}/game ${case})
  set_tests_properties(web.${case} PROPERTIES TIMEOUT 600)
endforeach()
