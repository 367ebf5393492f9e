# Unpacks the Windows package afresh: cmake -D ZIP=... -D DESTINATION=... -P unzip.cmake
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} is missing: scripts/package-windows makes it")
endif()
file(REMOVE_RECURSE "${DESTINATION}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${DESTINATION}")
if(NOT EXISTS "${DESTINATION}/fowlshot/bin/fowlshot.exe")
  message(FATAL_ERROR "${ZIP} holds no fowlshot/bin/fowlshot.exe")
endif()
