# add_vst_plugin(<target> OUTPUT_NAME <file stem> SOURCES <files...> LIBS <libs...>
#                [OUTPUT_DIR <folder>])
# Builds one VST 2.4 plug-in library, by default into ${JYX_PLUGIN_DIR}: the
# library entry (exported as VSTPluginMain and main) plus the product's sources.
function(add_vst_plugin target)
  cmake_parse_arguments(P "" "OUTPUT_NAME;OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  if(NOT P_OUTPUT_DIR)
    set(P_OUTPUT_DIR ${JYX_PLUGIN_DIR})
  endif()
  add_library(${target} MODULE ${P_SOURCES} ${PROJECT_SOURCE_DIR}/host/plugin_entry.cpp)
  target_link_libraries(${target} PRIVATE ${P_LIBS} jyx_host jyx_platform)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${P_OUTPUT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${P_OUTPUT_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${P_OUTPUT_DIR})
  if(WIN32)
    # The .def file gives the one entry routine its two export names and ordinals.
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/host/plugin_exports.def)
    set_target_properties(${target} PROPERTIES SUFFIX ".dll")
  else()
    # ThreadSanitizer's runtime lives in the program that loads the module.
    if(NOT JYX_TSAN)
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
  endif()
endfunction()
