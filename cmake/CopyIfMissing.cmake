# Copies SOURCE to DESTINATION unless DESTINATION already exists.
if(NOT EXISTS "${DESTINATION}")
  configure_file("${SOURCE}" "${DESTINATION}" COPYONLY)
endif()
