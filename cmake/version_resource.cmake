# The version resource (VERSIONINFO) of the Windows programs, which
# Explorer shows under Properties, Details: the product name, the
# program's description and the project's version.
function(add_version_resource target description)
  set(ISO8583_PROGRAM ${target})
  set(ISO8583_DESCRIPTION ${description})
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
