# The folders of src are layers: a file may include headers of its own folder and of the folders below
# it, never of one above. Checked each time the build is configured (both commands of the README
# configure first), so an upward include stops the build before anything compiles.
#
# scortavia_check_layers(<src dir> <folder>...) takes the folders bottom up.
function(scortavia_check_layers src_dir)
  set(rank 0)
  foreach(folder IN LISTS ARGN)
    set(rank_of_${folder} ${rank})
    math(EXPR rank "${rank} + 1")
  endforeach()

  file(GLOB_RECURSE sources RELATIVE ${src_dir} ${src_dir}/*.h ${src_dir}/*.cpp)
  set(faults "")
  foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    if(folder STREQUAL source)
      continue()  # a file directly in src belongs to no layer
    endif()
    if(NOT DEFINED rank_of_${folder})
      list(APPEND faults "${source}: the folder ${folder} has no place in the layer order")
      continue()
    endif()
    file(STRINGS ${src_dir}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/.*$" "\\1" used "${line}")
      if(DEFINED rank_of_${used} AND rank_of_${used} GREATER rank_of_${folder})
        string(STRIP "${line}" line)
        list(APPEND faults "${source} includes a folder above its own: ${line}")
      endif()
    endforeach()
  endforeach()
  if(faults)
    list(JOIN faults "\n  " text)
    list(JOIN ARGN ", " order)
    message(FATAL_ERROR "The folders of src are layers (bottom up: ${order}); a file includes one above:\n  ${text}")
  endif()
endfunction()
