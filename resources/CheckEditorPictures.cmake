# Draws the editor's pictures afresh and compares them, byte for byte, with
# the files resources.txt lists from editor/.
#   cmake -DGENERATOR=... -DSOURCE=resources -DOUTPUT=scratch-dir -P CheckEditorPictures.cmake
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "paint_editor_pictures failed")
endif()
file(STRINGS ${SOURCE}/resources.txt lines REGEX "^[^#].*[ \t]editor/")
set(compared 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE ".*[ \t]editor/" "" name "${line}")
  if(NOT EXISTS ${OUTPUT}/${name})
    message(FATAL_ERROR "resources.txt lists editor/${name}, which the generator does not make")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${name} ${SOURCE}/editor/${name}
    RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "resources/editor/${name} differs from what paint_editor_pictures makes; "
      "run it again (resources/README.md)")
  endif()
  math(EXPR compared "${compared} + 1")
endforeach()
file(GLOB made RELATIVE ${OUTPUT} ${OUTPUT}/*)
list(LENGTH made made_count)
if(NOT compared EQUAL made_count)
  message(FATAL_ERROR "the generator makes ${made_count} pictures, resources.txt lists ${compared}")
endif()
message(STATUS "${compared} editor pictures match")
