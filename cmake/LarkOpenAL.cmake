# OpenAL::OpenAL, which CMake's FindOpenAL makes only from CMake 3.25 on:
# made here from what older versions find, so that no installed file names
# the library's path on the machine that built the engine.
if(OPENAL_FOUND AND NOT TARGET OpenAL::OpenAL)
  add_library(OpenAL::OpenAL UNKNOWN IMPORTED)
  set_target_properties(OpenAL::OpenAL PROPERTIES
    IMPORTED_LOCATION "${OPENAL_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OPENAL_INCLUDE_DIR}")
endif()
