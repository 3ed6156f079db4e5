# GTK 3 and WebKitGTK: the window libraries' toolkit and engine.

pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.1)
find_program(ORVANE_GLIB_COMPILE_RESOURCES glib-compile-resources REQUIRED)

# orvane_gresource(<target> <name>): compiles resources/<name>.gresource.xml into the target.
# The bundle registers itself only when asked: call orvane_<name>_register_resource() once
# before the first g_resources_lookup_data or gtk_image_new_from_resource.
function(orvane_gresource target name)
    set(xml ${CMAKE_SOURCE_DIR}/resources/${name}.gresource.xml)
    set(out ${CMAKE_BINARY_DIR}/generated/${name}-resources.c)
    execute_process(COMMAND ${ORVANE_GLIB_COMPILE_RESOURCES} --generate-dependencies
                            --sourcedir=${CMAKE_SOURCE_DIR}/resources ${xml}
                    OUTPUT_VARIABLE deps OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "\n" ";" deps "${deps}")
    add_custom_command(OUTPUT ${out}
                       COMMAND ${ORVANE_GLIB_COMPILE_RESOURCES} --target=${out} --generate-source
                               --manual-register --c-name orvane_${name}
                               --sourcedir=${CMAKE_SOURCE_DIR}/resources ${xml}
                       DEPENDS ${xml} ${deps} VERBATIM)
    set_source_files_properties(${out} PROPERTIES GENERATED TRUE)
    target_sources(${target} PRIVATE ${out})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${xml})
endfunction()
