# Run by `cmake --install` of a bundle build, after the executable, the guide and the settings file are in
# place: copies the Qt plugins the program uses and every library it and they load, except those left to
# the system, and tells Qt where they are (qt.conf).
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# The plugins each Qt module needs on a Linux desktop. Which modules the program uses is read from the
# executable itself, below: a module it does not load brings no plugins.
set(plugins_of_Qt6Gui
  platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqwayland-egl.so
  platforms/libqoffscreen.so
  xcbglintegrations/* wayland-shell-integration/* wayland-decoration-client/*
  wayland-graphics-integration-client/* platforminputcontexts/*
  imageformats/libqjpeg.so imageformats/libqgif.so imageformats/libqico.so)
set(plugins_of_Qt6Svg imageformats/libqsvg.so iconengines/libqsvgicon.so)
set(plugins_of_Qt6PrintSupport printsupport/libcupsprintersupport.so)
# GStreamer is Qt 6.4's backend on Linux; it and its codecs come with every desktop.
set(plugins_of_Qt6Multimedia multimedia/libgstreamermediaplugin.so)

# Left to the system: the C and C++ runtimes, and the libraries that belong to the desktop the program
# runs on (display servers, graphics drivers, fonts, printing, sound and media, D-Bus, GLib). Each has a
# stable interface on Debian 12 and Ubuntu 22.04 and 24.04, and a copy from elsewhere could clash with
# what the desktop itself loads. libarchive too: Debian 12's asks for a C library newer than Ubuntu
# 22.04's, and every one of those desktops has it.
set(system_libraries
  "^ld-linux" "^libc\\.so" "^libm\\.so" "^libdl\\.so" "^libpthread\\.so" "^librt\\.so" "^libresolv\\.so"
  "^libutil\\.so" "^libanl\\.so" "^libstdc\\+\\+\\.so" "^libgcc_s\\.so"
  "^libX11" "^libICE\\.so" "^libSM\\.so" "^libXau\\.so" "^libXdmcp\\.so" "^libXext\\.so" "^libXrender\\.so" "^libXi\\.so" "^libxcb\\.so"
  "^libGL" "^libEGL\\.so" "^libOpenGL\\.so" "^libgbm\\.so" "^libdrm\\.so" "^libwayland-"
  "^libfontconfig\\.so" "^libfreetype\\.so" "^libexpat\\.so" "^libz\\.so" "^libpng16\\.so" "^libbrotli"
  "^libcups\\.so" "^libdbus-1\\.so" "^libsystemd\\.so" "^libudev\\.so"
  "^libglib-2\\.0\\.so" "^libgobject-2\\.0\\.so" "^libgio-2\\.0\\.so" "^libgmodule-2\\.0\\.so"
  "^libgthread-2\\.0\\.so" "^libgst" "^libasound\\.so" "^libpulse"
  "^libgssapi_krb5\\.so" "^libkrb5" "^libk5crypto\\.so" "^libcom_err\\.so" "^libkeyutils\\.so"
  "^libgnutls\\.so" "^libnettle\\.so" "^libhogweed\\.so" "^libgmp\\.so" "^libp11-kit\\.so" "^libtasn1\\.so"
  "^libidn2\\.so" "^libunistring\\.so" "^libffi\\.so" "^libselinux\\.so" "^libmount\\.so" "^libblkid\\.so"
  "^libpcre2-8\\.so" "^libcap\\.so" "^libgcrypt\\.so" "^libgpg-error\\.so" "^liblzma\\.so" "^liblz4\\.so"
  "^libavahi" "^libbsd\\.so" "^libmd\\.so" "^libuuid\\.so" "^libcrypto\\.so" "^libssl\\.so" "^libarchive\\.so")

set(executable "${folder}/scortavia")
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${executable}"
  RESOLVED_DEPENDENCIES_VAR program_libraries PRE_EXCLUDE_REGEXES ${system_libraries})
set(plugins)
foreach(module Qt6Gui Qt6Svg Qt6PrintSupport Qt6Multimedia)
  set(linked FALSE)
  foreach(library IN LISTS program_libraries)
    get_filename_component(name "${library}" NAME)
    if(name MATCHES "^lib${module}\\.so")
      set(linked TRUE)
    endif()
  endforeach()
  if(NOT linked)
    continue()
  endif()
  foreach(pattern IN LISTS plugins_of_${module})
    file(GLOB found "${SCORTAVIA_QT_PLUGINS}/${pattern}")
    if(NOT found)
      message(FATAL_ERROR "bundle: the Qt plugin ${pattern} is not installed (${SCORTAVIA_QT_PLUGINS})")
    endif()
    list(APPEND plugins ${found})
  endforeach()
endforeach()

file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${executable}" MODULES ${plugins}
  RESOLVED_DEPENDENCIES_VAR libraries UNRESOLVED_DEPENDENCIES_VAR unresolved
  PRE_EXCLUDE_REGEXES ${system_libraries})
if(unresolved)
  message(FATAL_ERROR "bundle: libraries not found: ${unresolved}")
endif()

file(REMOVE_RECURSE "${folder}/lib" "${folder}/plugins" "${folder}/translations")
file(MAKE_DIRECTORY "${folder}/lib")
foreach(library IN LISTS libraries)
  # Under the name the loader asks for (its soname), as a plain file, not the chain of links.
  get_filename_component(name "${library}" NAME)
  file(REAL_PATH "${library}" real)
  file(COPY_FILE "${real}" "${folder}/lib/${name}" ONLY_IF_DIFFERENT)
endforeach()
foreach(plugin IN LISTS plugins)
  file(RELATIVE_PATH place "${SCORTAVIA_QT_PLUGINS}" "${plugin}")
  get_filename_component(type "${place}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}/plugins/${type}")
  file(COPY_FILE "${plugin}" "${folder}/plugins/${place}")
endforeach()
# Qt's own Italian texts for its dialogs, as the program loads them.
file(GLOB catalogues "${SCORTAVIA_QT_TRANSLATIONS}/qt*_it.qm")
file(INSTALL ${catalogues} DESTINATION "${folder}/translations")
file(WRITE "${folder}/qt.conf" "[Paths]\nPrefix=.\nLibraries=lib\nPlugins=plugins\nTranslations=translations\n")
list(LENGTH libraries library_count)
list(LENGTH plugins plugin_count)
message(STATUS "bundle: ${library_count} libraries and ${plugin_count} plugins in ${folder}")
