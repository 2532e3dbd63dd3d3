# Every library reaches headers through include roots of its own in the build tree, each holding
# links to the folders of one library only. A target therefore sees the headers of the libraries
# it links and no others, so an include that goes against the layers fails to compile.
function(varnet_include_folders target)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  set(linked TRUE)
  foreach(folder ${ARGN})
    if(NOT IS_DIRECTORY ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC RESULT result)
      if(NOT result EQUAL 0)
        set(linked FALSE)
      endif()
    endif()
  endforeach()
  if(NOT linked)
    # Windows without the right to make links: the source tree itself, which the layers test
    # (tests/check_layers.cmake) still holds to the layers.
    message(WARNING "${target}: cannot link its folders (${result}); its include root is the source tree")
    set(root ${PROJECT_SOURCE_DIR})
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
