# Helpers that turn an IDL file into a type library, a header and a GUID
# file, and that build self-contained Windows binaries.

set(WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Where oaidl.idl and ocidl.idl live")
# stdole2.tlb, which every type library imports; only its type names are read.
set(WINE_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Where stdole2.tlb lives")

# add_typelib(<target> <idl-file> [DEPENDS <header>...])
# Creates <target>, an interface library that carries the generated header
# (<name>.h) and GUID definitions (<name>_i.c) and the .tlb beside them.
# DEPENDS names the headers that the IDL file includes.
# Sets <target>_TLB to the .tlb path for the resource compiler.
function(add_typelib target idl)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl_abs ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  file(MAKE_DIRECTORY ${out})
  set(widl ${WIDL_EXECUTABLE} ${WIDL_TARGET_FLAG} -I${WINE_IDL_DIR} -L${WINE_STDOLE_DIR})
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c
    COMMAND ${widl} -t -o ${out}/${name}.tlb ${idl_abs}
    COMMAND ${widl} -h -H ${out}/${name}.h -o ${out}/${name}.h ${idl_abs}
    COMMAND ${widl} -u -o ${out}/${name}_i.c ${idl_abs}
    DEPENDS ${idl_abs} ${ARG_DEPENDS}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  add_custom_target(${target}_gen DEPENDS ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c)
  add_library(${target} STATIC ${out}/${name}_i.c)
  add_dependencies(${target} ${target}_gen)
  target_include_directories(${target} PUBLIC ${out})
  set(${target}_TLB ${out}/${name}.tlb PARENT_SCOPE)
  set(${target}_DIR ${out} PARENT_SCOPE)
endfunction()

# Every binary of the suite runs without any MinGW runtime DLL beside it.
function(make_self_contained target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# add_com_server(<target> DEF <def> SOURCES ... RC <rc> TYPELIB <typelib-target> LIBS ...)
# Builds an in-process COM server DLL whose resource script embeds the
# type library (the .rc refers to it as "TYPELIB_PATH").
function(add_com_server target)
  cmake_parse_arguments(ARG "" "DEF;RC;TYPELIB;SUFFIX;OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES} ${ARG_RC} ${ARG_DEF})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(ARG_SUFFIX)
    set_target_properties(${target} PROPERTIES SUFFIX ${ARG_SUFFIX})
  endif()
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_TYPELIB} ${ARG_LIBS})
  set_source_files_properties(${ARG_RC} PROPERTIES
    OBJECT_DEPENDS ${${ARG_TYPELIB}_TLB})
  target_include_directories(${target} PRIVATE ${${ARG_TYPELIB}_DIR})
  add_dependencies(${target} ${ARG_TYPELIB}_gen)
  make_self_contained(${target})
  # The .def file names the entry points undecorated; on x86 the linker maps
  # them to their stdcall symbols.
  target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  # pthread_once and the mutexes are the runtime support's own
  # (formsrt/com/LibraryRuntimeSupport.cpp).
  target_link_options(${target} PRIVATE -Wl,--wrap=pthread_once -Wl,--wrap=pthread_mutex_init
                      -Wl,--wrap=pthread_mutex_destroy -Wl,--wrap=pthread_mutex_lock
                      -Wl,--wrap=pthread_mutex_trylock -Wl,--wrap=pthread_mutex_unlock)
  list_com_server(${target})
endfunction()

# Every COM server the build makes is listed in <build>/com_servers.txt, so
# that the test environment can register them all with regsvr32.
set_property(GLOBAL PROPERTY SUITE_COM_SERVERS "")
function(list_com_server target)
  set_property(GLOBAL APPEND PROPERTY SUITE_COM_SERVERS "$<TARGET_FILE:${target}>")
endfunction()
function(write_com_server_list)
  get_property(servers GLOBAL PROPERTY SUITE_COM_SERVERS)
  list(JOIN servers "\n" text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/com_servers.txt CONTENT "${text}\n")
endfunction()
