# What a deliverable COM library ships with beside the binary: its type
# library as a .tlb file and a registration-free manifest generated from
# that type library; and the archive's README with the member reference of
# those type libraries. All of it is installed into dist/<arch>/, which the
# release archives are packed from (scripts/release.sh).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# ship_com_library(<target> <tlb>)
# Installs <target> with <tlb> and <library>.sxs.manifest, where <library>
# is the .tlb file's name (the type library's own name).
function(ship_com_library target tlb)
  get_filename_component(library ${tlb} NAME_WE)
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${library}.sxs.manifest)
  add_custom_command(
    OUTPUT ${manifest}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/tlb_manifest.py
            ${tlb} $<TARGET_FILE_NAME:${target}> ${SUITE_ARCH} ${manifest}
    DEPENDS ${tlb} ${CMAKE_SOURCE_DIR}/cmake/tlb_manifest.py ${CMAKE_SOURCE_DIR}/cmake/typelib_file.py
    COMMENT "Registration-free manifest of ${library}"
    VERBATIM)
  add_custom_target(${target}_manifest ALL DEPENDS ${manifest})
  install(TARGETS ${target} RUNTIME DESTINATION . LIBRARY DESTINATION .)
  install(FILES ${tlb} ${manifest} DESTINATION .)
  set_property(GLOBAL APPEND PROPERTY SUITE_SHIPPED_TYPELIBS ${tlb})
  set_property(GLOBAL APPEND PROPERTY SUITE_SHIPPED_MANIFESTS ${target}_manifest)
endfunction()

# ship_release_readme(<template>)
# Installs README.md: <template> with the member reference of every type
# library shipped by ship_com_library, which must have run for all of them.
function(ship_release_readme template)
  get_property(tlbs GLOBAL PROPERTY SUITE_SHIPPED_TYPELIBS)
  get_property(manifests GLOBAL PROPERTY SUITE_SHIPPED_MANIFESTS)
  set(readme ${CMAKE_CURRENT_BINARY_DIR}/README.md)
  add_custom_command(
    OUTPUT ${readme}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/release_readme.py ${template} ${readme} ${tlbs}
    DEPENDS ${template} ${tlbs} ${CMAKE_SOURCE_DIR}/cmake/release_readme.py ${CMAKE_SOURCE_DIR}/cmake/typelib_file.py
    COMMENT "README of the release archive"
    VERBATIM)
  add_custom_target(release_readme ALL DEPENDS ${readme})
  # The manifests' targets build the type libraries first.
  add_dependencies(release_readme ${manifests})
  install(FILES ${readme} DESTINATION .)
endfunction()
