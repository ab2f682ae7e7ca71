# Each layer of the program is its own target, and the headers a layer offers
# are reachable only through that target. A layer's public headers are linked
# into an include tree of its own under the build folder, keeping their
# folder names ("plan/tone_plan.h"), and that tree is the layer's only include
# folder. A target sees a header only when it links the layer that offers it,
# so a file that includes a header of a layer its target does not link fails
# to compile: the build, not review, keeps the layers in order.
#
#   sweepwav_layer(<name>
#       [ENGINE]            plain C++: may link only other engine layers
#       HEADERS <files>     public headers, relative to the calling folder
#       SOURCES <files>     implementation files (none: a header-only layer)
#       LINKS <targets>     the layers (and libraries) it builds on
#   )
function(sweepwav_layer name)
  cmake_parse_arguments(L "ENGINE" "" "HEADERS;SOURCES;LINKS" ${ARGN})
  set(target sweepwav_${name})
  set(tree ${PROJECT_BINARY_DIR}/layers/${name})

  if(L_ENGINE)
    foreach(dep IN LISTS L_LINKS)
      if(dep STREQUAL "Threads::Threads")
        continue()  # the standard library's threads
      endif()
      get_property(is_engine TARGET ${dep} PROPERTY SWEEPWAV_ENGINE_LAYER)
      if(NOT is_engine)
        message(FATAL_ERROR "engine layer ${name} may build only on engine layers, not on ${dep}")
      endif()
    endforeach()
  endif()

  file(REMOVE_RECURSE ${tree})
  foreach(header IN LISTS L_HEADERS)
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    if(NOT EXISTS ${source})
      message(FATAL_ERROR "layer ${name}: no header ${header}")
    endif()
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    get_filename_component(folder ${tree}/${relative} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${source} ${tree}/${relative} SYMBOLIC COPY_ON_ERROR)
  endforeach()

  if(L_SOURCES)
    add_library(${target} STATIC ${L_SOURCES} ${L_HEADERS})
    target_include_directories(${target} PUBLIC ${tree})
    target_link_libraries(${target} PUBLIC ${L_LINKS})
  else()
    add_library(${target} INTERFACE ${L_HEADERS})
    target_include_directories(${target} INTERFACE ${tree})
    target_link_libraries(${target} INTERFACE ${L_LINKS})
  endif()
  set_property(TARGET ${target} PROPERTY SWEEPWAV_ENGINE_LAYER ${L_ENGINE})
endfunction()
