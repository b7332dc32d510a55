# `make bundle`: the program folder as a shop receives it, runnable on a desktop without any Qt package.
# `cmake --install` lays it out (the executable, the guide, a fresh settings file, then BundleFolder.cmake
# adds lib/, plugins/, translations/ and qt.conf); the target `bundle` installs into dist/Scortavia and
# packs it as dist/Scortavia-<version>-linux-x86_64.tar.gz.

# The bundled libraries are found through the executable's RPATH. The old-style DT_RPATH (not RUNPATH)
# is searched first for every library of the process: Qt's own dependencies and the plugins' too,
# whatever LD_LIBRARY_PATH says.
set_property(TARGET scortavia PROPERTY INSTALL_RPATH "$ORIGIN/lib")
set_property(TARGET scortavia APPEND PROPERTY LINK_OPTIONS -Wl,--disable-new-dtags)

install(CODE "
  set(SCORTAVIA_QT_PLUGINS \"${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}\")
  set(SCORTAVIA_QT_TRANSLATIONS \"${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/BundleFolder.cmake)

set(scortavia_dist ${PROJECT_SOURCE_DIR}/dist)
set(scortavia_tarball Scortavia-${PROJECT_VERSION}-linux-x86_64.tar.gz)
add_custom_target(bundle
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${scortavia_dist}/Scortavia ${scortavia_dist}/${scortavia_tarball}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${scortavia_dist}/Scortavia
  COMMAND ${CMAKE_COMMAND} -E chdir ${scortavia_dist} ${CMAKE_COMMAND} -E tar czf ${scortavia_tarball} Scortavia
  DEPENDS scortavia scortavia_guide_pdf
  COMMENT "Packing ${scortavia_dist}/${scortavia_tarball}"
  VERBATIM)

# The bundle check preloads this into the unpacked program (tests/bundle/check-bundle), copied beside the
# executable: it finds its Qt libraries the same way the program does, through $ORIGIN/lib.
add_library(scortavia_bundle_probe MODULE ${PROJECT_SOURCE_DIR}/tests/bundle/BundleProbe.cpp)
target_link_libraries(scortavia_bundle_probe PRIVATE Qt6::Widgets scortavia_warnings)
set_target_properties(scortavia_bundle_probe PROPERTIES AUTOMOC ON BUILD_RPATH "$ORIGIN/lib")
set_property(TARGET scortavia_bundle_probe APPEND PROPERTY LINK_OPTIONS -Wl,--disable-new-dtags)
