# The layers' libraries and what their sources can see.
#
# Every include names its file from the source root ("engine/run_context.h"), but no layer is
# given the source root. Instead each library is given a folder of the build tree holding
# links to its own headers only, under those same paths, and passes it on to whatever links
# it. A layer's sources thus see their own headers and those of the libraries they link; an
# include of anything else (a layer above, the substitute host, the tools) fails to compile.

# quillamor_headers(<target> <folder>...): the target, and whatever links it, sees the
# headers directly in each folder, and no other file of the source tree.
function(quillamor_headers target)
  set(root ${CMAKE_BINARY_DIR}/layer-headers/${target})
  file(REMOVE_RECURSE ${root})
  foreach(folder IN LISTS ARGN)
    file(GLOB headers CONFIGURE_DEPENDS LIST_DIRECTORIES false
         ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.inc)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# quillamor_layer(<target> <folder> [<library below>...]): the static library of the sources
# directly in the folder, linked to the libraries below it.
function(quillamor_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  add_library(${target} STATIC ${sources})
  quillamor_headers(${target} ${folder})
  if(ARGN)
    target_link_libraries(${target} PUBLIC ${ARGN})
  endif()
endfunction()
