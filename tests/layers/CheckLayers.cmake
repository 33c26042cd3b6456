# Fails when a source file includes a header of a layer above its own, or when the headless layers
# include a Qt header outside QtCore. The layers, lowest first: core < platform < desktop < ui, and
# above them all main.cpp and the build-time tools.
#   cmake -DSOURCE_DIR=<src> -DQTCORE_INCLUDE_DIR=<QtCore headers> -P CheckLayers.cmake
set(layers core platform desktop ui)
set(faults "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.h.in)
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" folder "${source}")
  list(FIND layers "${folder}" level)
  if(level EQUAL -1)
    continue() # main.cpp and tools/ may include every layer
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    if(line MATCHES "\"([^/\"]+)/[^\"]+\"")
      list(FIND layers "${CMAKE_MATCH_1}" included)
      if(included GREATER level)
        list(APPEND faults "${source}: ${folder} may not include ${CMAKE_MATCH_1}: ${line}")
      endif()
    elseif(level LESS 2 AND line MATCHES "<(Q[A-Za-z]+)>")
      # The match is read only once the condition has run, hence a second if.
      if(NOT EXISTS ${QTCORE_INCLUDE_DIR}/${CMAKE_MATCH_1})
        list(APPEND faults "${source}: ${folder} takes Qt from QtCore alone: ${line}")
      endif()
    endif()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" message)
  message(FATAL_ERROR "Includes against the layers:\n${message}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to the layers")
