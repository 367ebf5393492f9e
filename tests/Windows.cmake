# Tests of the Windows cross build, run by CTest under Wine (the toolchain's
# CMAKE_CROSSCOMPILING_EMULATOR) on the X display of scripts/with-display:
# - the engine's and the game's tests, as Windows programs;
# - the packaged game, unzipped from fowlshot-windows-x64.zip, played by the
#   Linux build's end-to-end tests with LK_PROGRAM pointing at its
#   bin/fowlshot.exe.
find_package(GTest REQUIRED)
include(GoogleTest)

# Paths handed to Windows programs: Wine maps the Linux root to drive Z:.
add_library(lk_test_support STATIC support/Support.cpp)
target_include_directories(lk_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(lk_test_support PUBLIC fowlshot_game GTest::gtest)
target_compile_definitions(lk_test_support PUBLIC LK_GAME_DIR_PATH="Z:${LK_GAME_DIR}")
add_dependencies(lk_test_support fowlshot_assets)

# The engine links OpenAL Soft's DLL; Windows looks for it beside the program.
find_file(LK_OPENAL_DLL OpenAL32.dll PATH_SUFFIXES bin REQUIRED)
file(COPY ${LK_OPENAL_DLL} DESTINATION ${CMAKE_CURRENT_BINARY_DIR})

foreach(name ${LK_ENGINE_TESTS} GameTest)
  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE lk_test_support)
  # Each case in its own process, as on Linux.
  gtest_discover_tests(${name} TEST_PREFIX windows. DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endforeach()

# The end-to-end cases come from a Linux build of the same sources.
set(LK_LINUX_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH
    "Linux build whose end-to-end tests play the Windows package")
set(LK_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/fowlshot-windows-x64.zip" CACHE FILEPATH
    "The zip made by scripts/package-windows")
set(LK_UNZIPPED ${CMAKE_BINARY_DIR}/unzipped)
add_test(NAME windows.unzip-package COMMAND ${CMAKE_COMMAND}
  -D ZIP=${LK_PACKAGE_ZIP} -D DESTINATION=${LK_UNZIPPED} -P ${CMAKE_CURRENT_SOURCE_DIR}/unzip.cmake)
set_tests_properties(windows.unzip-package PROPERTIES FIXTURES_SETUP windows_package)

set(LK_WINE_GAME "${PROJECT_SOURCE_DIR}/scripts/wine-run ${LK_UNZIPPED}/fowlshot/bin/fowlshot.exe")
foreach(case
    Play.AShotHitsADuckAndThreeMissesEndTheGame
    Play.NoFontNoLogOrNoXServerEndsWithStatus1
    EachFile/MissingAsset.GameStillPlaysAndQuits/10  # sounds/new-round.mp3
    EmptyHalfRandomLying/BrokenAssets.AreNamedInTheLogAndTheGamePlaysOn/3)  # lying WAV chunk sizes
  add_test(NAME windows.game.${case} COMMAND ${LK_LINUX_BUILD}/tests/PlayTest --gtest_filter=${case})
  set_tests_properties(windows.game.${case} PROPERTIES
    FIXTURES_REQUIRED windows_package RUN_SERIAL TRUE TIMEOUT 600
    ENVIRONMENT "LK_PROGRAM=${LK_WINE_GAME}")
endforeach()
