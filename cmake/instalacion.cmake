# Where `cmake --install` and the Debian package put the program: teqvaro in bin, the
# platform's libraries and the module in a folder of their own under lib (no other
# program links them), the desktop entry and its icon, the computer's component
# registry, which tells the host where the installed module is, the manual page, and the
# copyright and changelog every Debian package carries. Tests and benchmarks stay in the
# build tree.
include(GNUInstallDirs)

set(TEQVARO_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/teqvaro)
set(TEQVARO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/teqvaro)
set(teqvaro_bibliotecas teqvaro_runtime teqvaro_ado teqvaro_controles teqvaro_servicios teqvaro_datos)

# The host reads the computer's registry when the user's own has no entry for a module.
target_compile_definitions(teqvaro_runtime PRIVATE
  TEQVARO_REGISTRO_DEL_SISTEMA="${CMAKE_INSTALL_FULL_DATADIR}/teqvaro/componentes.ini")

# The build tree keeps its own RPATH (CMAKE_BUILD_RPATH); installed, the program looks for
# its libraries relative to itself, so any prefix works.
file(RELATIVE_PATH teqvaro_de_bin_a_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/teqvaro)
set_target_properties(teqvaro PROPERTIES INSTALL_RPATH "$ORIGIN/${teqvaro_de_bin_a_lib}")
set_target_properties(${teqvaro_bibliotecas} KLD251 PROPERTIES INSTALL_RPATH "$ORIGIN")

# Hardened as Debian builds its own binaries: every symbol bound at load, so the relocation
# table can be read-only, and in optimised builds the C library's checked functions.
foreach(objetivo IN LISTS teqvaro_bibliotecas ITEMS teqvaro KLD251)
  target_link_options(${objetivo} PRIVATE LINKER:-z,relro,-z,now)
  target_compile_definitions(${objetivo} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endforeach()

install(TARGETS teqvaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${teqvaro_bibliotecas} KLD251 LIBRARY DESTINATION ${TEQVARO_INSTALL_LIBDIR})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/teqvaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/teqvaro.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The registry names the module's library by its installed path, which is known only when
# installing (`cmake --install --prefix` and CPack choose the prefix then), so it is written
# at that moment and then installed like any other file, to be listed and removed with it.
install(CODE "
  set(biblioteca \"\${CMAKE_INSTALL_PREFIX}/${TEQVARO_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:KLD251>\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/componentes.ini.in\"
                 \"${PROJECT_BINARY_DIR}/packaging/componentes.ini\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/packaging/componentes.ini DESTINATION ${TEQVARO_INSTALL_DATADIR})

# The manual page and the changelog go compressed, as Debian keeps them: gzip -9n stores no
# name or time stamp, so every build of the same text gives the same bytes.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
find_program(TEQVARO_GZIP gzip REQUIRED)
set(teqvaro_comprimidos)
foreach(fuente IN ITEMS ${PROJECT_BINARY_DIR}/packaging/changelog ${PROJECT_SOURCE_DIR}/packaging/teqvaro.1)
  get_filename_component(nombre ${fuente} NAME)
  set(comprimido ${PROJECT_BINARY_DIR}/packaging/gz/${nombre}.gz)
  add_custom_command(OUTPUT ${comprimido}
                     COMMAND ${CMAKE_COMMAND} -E copy ${fuente} ${PROJECT_BINARY_DIR}/packaging/gz/${nombre}
                     COMMAND ${TEQVARO_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/gz/${nombre}
                     DEPENDS ${fuente} VERBATIM)
  list(APPEND teqvaro_comprimidos ${comprimido})
endforeach()
add_custom_target(teqvaro_documentos ALL DEPENDS ${teqvaro_comprimidos})

install(FILES ${PROJECT_BINARY_DIR}/packaging/gz/teqvaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/gz/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/teqvaro)
