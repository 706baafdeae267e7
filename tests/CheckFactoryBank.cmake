execute_process(COMMAND ${GENERATOR} ${SOURCE}/factory-programs.txt ${SOURCE}/pictures ${OUTPUT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_factory_bank failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${SOURCE}/factory.fxb
  RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "resources/factory.fxb differs from what its generator makes; rerun make_factory_bank")
endif()
