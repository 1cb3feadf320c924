# Where a program finds the string tables of the KeyboardShortcuts library: in the build tree
# next to its binary, once installed under <datadir>/<executable name>, beside <bindir>. The
# tables come from the directory in the KEYBOARD_SHORTCUTS_BUNDLE_DIR property of
# KeyboardShortcuts::KeyboardShortcuts.
include(GNUInstallDirs)

# Copies the string tables next to the binary of an executable target, so that the build tree
# runs as it is. Call it in the directory that defines the target.
function(keyboard_shortcuts_place_bundle target)
    get_target_property(bundle KeyboardShortcuts::KeyboardShortcuts KEYBOARD_SHORTCUTS_BUNDLE_DIR)
    file(GLOB tables CONFIGURE_DEPENDS ${bundle}/*.json)
    cmake_path(GET bundle FILENAME bundle_name)
    get_target_property(directory ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT directory)
        get_target_property(directory ${target} BINARY_DIR)
    endif()
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_string_tables.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}/${bundle_name}
        COMMAND ${CMAKE_COMMAND} -E copy ${tables} ${directory}/${bundle_name}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${tables}
        COMMENT "Placing the KeyboardShortcuts string tables next to ${target}")
    target_sources(${target} PRIVATE ${stamp})
endfunction()

# Installs the string tables where the library looks for them when the executable target runs
# from <prefix>/${CMAKE_INSTALL_BINDIR}: <prefix>/${CMAKE_INSTALL_DATADIR}/<executable name>.
function(keyboard_shortcuts_install_bundle target)
    get_target_property(bundle KeyboardShortcuts::KeyboardShortcuts KEYBOARD_SHORTCUTS_BUNDLE_DIR)
    install(DIRECTORY ${bundle}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/$<TARGET_FILE_NAME:${target}>)
endfunction()
