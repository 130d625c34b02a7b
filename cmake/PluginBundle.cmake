# pde_add_plugin_bundle(<target>
#     NAME <bundle name>            folder <name>.plugin
#     IDENTIFIER <bundle id>        CFBundleIdentifier
#     SOURCES <files...>
#     INFO_PLIST <template>         configured with @PDE_BUNDLE_IDENTIFIER@, @PDE_BUNDLE_EXECUTABLE@,
#                                   @PDE_BUNDLE_NAME@ and any variable set by the caller
#     [RESOURCES <dir>]             holds <lang>.lproj folders, copied to Contents/Resources
#     [DESTINATION <dir>]           default PDE_PLUGIN_DIR
#     [EXPORTS <symbols...>])       default CreatePDEFactory; nothing else is exported
#
# Assembles <dir>/<name>.plugin/Contents/{Info.plist, MacOS/<name>, Resources/...}.
function(pde_add_plugin_bundle target)
  cmake_parse_arguments(ARG "" "NAME;IDENTIFIER;INFO_PLIST;RESOURCES;DESTINATION" "SOURCES;EXPORTS" ${ARGN})
  if(NOT ARG_DESTINATION)
    set(ARG_DESTINATION ${PDE_PLUGIN_DIR})
  endif()
  if(NOT ARG_EXPORTS)
    set(ARG_EXPORTS CreatePDEFactory)
  endif()
  set(contents ${ARG_DESTINATION}/${ARG_NAME}.plugin/Contents)

  add_library(${target} MODULE ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE pdeplatform)
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME ${ARG_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${contents}/MacOS)

  # Only the named symbols leave the bundle, so several bundles share one process without clashing.
  set(version_script ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports)
  list(JOIN ARG_EXPORTS "; " exported)
  file(WRITE ${version_script} "{ global: ${exported}; local: *; };\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${version_script})
  if(NOT PDE_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${version_script})

  set(PDE_BUNDLE_IDENTIFIER ${ARG_IDENTIFIER})
  set(PDE_BUNDLE_EXECUTABLE ${ARG_NAME})
  set(PDE_BUNDLE_NAME ${ARG_NAME})
  configure_file(${ARG_INFO_PLIST} ${contents}/Info.plist @ONLY)

  # A shipping bundle (one built into PDE_PLUGIN_DIR) is installed the same way, into the project's
  # plug-in folder; its executable finds the platform library four folders up (MacOS, Contents,
  # the bundle, plugins).
  if(ARG_DESTINATION STREQUAL PDE_PLUGIN_DIR)
    set(installed ${PDE_INSTALL_PLUGIN_DIR}/${ARG_NAME}.plugin/Contents)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../../../..")
    install(TARGETS ${target} LIBRARY DESTINATION ${installed}/MacOS)
    install(FILES ${contents}/Info.plist DESTINATION ${installed})
    if(ARG_RESOURCES)
      install(DIRECTORY ${ARG_RESOURCES}/ DESTINATION ${installed}/Resources)
    endif()
  endif()

  if(ARG_RESOURCES)
    file(GLOB_RECURSE resource_files CONFIGURE_DEPENDS ${ARG_RESOURCES}/*)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.resources.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${contents}/Resources
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${ARG_RESOURCES} ${contents}/Resources
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${resource_files}
      COMMENT "Copying resources of ${ARG_NAME}.plugin")
    add_custom_target(${target}_resources DEPENDS ${stamp})
    add_dependencies(${target} ${target}_resources)
  endif()
endfunction()
