# Renders one 16-bit WAV with the Win64 tool (under wine64) and with the
# Linux tool of the Linux build beside this one, and requires the same bytes:
# the plug-in's sound, the WAV writer and the dither are the same on both.
#   cmake -DEMULATOR=... -DWIN_TOOL=... -DLINUX_TOOL=... -DFOLDER=... -P SameRenderOnBothBuilds.cmake
if(NOT EXISTS "${LINUX_TOOL}")
  message("no Linux build to compare with: ${LINUX_TOOL} is missing (build linux first)")
  return()
endif()
set(phrase --program 3 --notes "A3+E4+A4:e C5 E5 A5:q G4+B4+D5:h" --bits 16 --quiet)
execute_process(COMMAND ${EMULATOR} ${WIN_TOOL} ${phrase} -o same-render-win64.wav
  WORKING_DIRECTORY ${FOLDER} RESULT_VARIABLE win_status ERROR_VARIABLE win_error)
execute_process(COMMAND ${LINUX_TOOL} ${phrase} -o same-render-linux.wav
  WORKING_DIRECTORY ${FOLDER} RESULT_VARIABLE linux_status ERROR_VARIABLE linux_error)
if(NOT win_status EQUAL 0 OR NOT linux_status EQUAL 0)
  message(FATAL_ERROR "a render failed: Win64: ${win_error} Linux: ${linux_error}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
  ${FOLDER}/same-render-win64.wav ${FOLDER}/same-render-linux.wav RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the Win64 and Linux renders differ (kept in ${FOLDER})")
endif()
file(REMOVE ${FOLDER}/same-render-win64.wav ${FOLDER}/same-render-linux.wav)
message("the Win64 and Linux renders are the same")
