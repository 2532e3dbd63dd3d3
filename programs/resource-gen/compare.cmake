# Regenerates the Windows resources into WORK and compares them byte for byte with the ones
# kept in the repository (SOURCE).
#   cmake -DGENERATOR=... -DSOURCE=<repo>/resources -DWORK=<folder> -P compare.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND ${GENERATOR} "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "resource-gen failed with ${status}")
endif()
foreach(name Test.rc test.ico Test.manifest)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${SOURCE}/${name}" "${WORK}/${name}"
    RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "resources/${name} is not what the tables give: run "
      "`resource-gen resources` from the build and commit the result")
  endif()
endforeach()
