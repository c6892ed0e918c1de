# The Debian package (scripts/package-deb.sh runs CPack): both programs in
# /usr/bin, their manual pages, the icon, the menu entry, and the copyright
# and changelog files Debian asks of every package. The help pages need no
# place of their own: they are compiled into the window.
include(GNUInstallDirs)
tht_require_program(THT_GZIP gzip gzip)
set(tht_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(tht_deb_dir ${PROJECT_BINARY_DIR}/deb)

# The package's revision is the one of the changelog's first entry, which must
# be of this version: a new version needs its entry before it can be packaged.
file(STRINGS ${tht_packaging}/changelog tht_changelog_top LIMIT_COUNT 1)
string(REPLACE "." "\\." tht_version_pattern "${PROJECT_VERSION}")
if(NOT tht_changelog_top MATCHES "^transhoralotuxa \\(${tht_version_pattern}-([0-9]+)\\) ")
  message(FATAL_ERROR "packaging/changelog: the first entry is \"${tht_changelog_top}\"; "
                      "version ${PROJECT_VERSION} needs an entry of its own (transhoralotuxa (${PROJECT_VERSION}-1) ...)")
endif()
set(tht_deb_revision ${CMAKE_MATCH_1})

# The manual pages are ours, in roff (packaging/PROGRAM.1.in); the build only
# fills in the version and the date. The date is the commit's, never the
# build's: SOURCE_DATE_EPOCH (scripts/package-deb.sh sets it from the last
# commit, and CPack dates the package's files by it too), or else the last
# commit itself. Month and year in Spanish, as the pages are.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(tht_page_epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE tht_page_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE tht_git_result ERROR_QUIET)
  if(NOT tht_git_result EQUAL 0)
    message(FATAL_ERROR "The manual pages are dated by the last commit: git cannot read it in "
                        "${PROJECT_SOURCE_DIR}; set SOURCE_DATE_EPOCH to the sources' date instead")
  endif()
endif()
if(NOT tht_page_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${tht_page_epoch}\", not a number of seconds")
endif()

# PROGRAM.1.in with @VERSION@ and @DATE@ filled in, compressed as Debian wants it.
function(tht_man_page program epoch out)
  # string(TIMESTAMP) formats SOURCE_DATE_EPOCH, not the clock, when it is set.
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  string(TIMESTAMP month "%m" UTC)
  string(TIMESTAMP year "%Y" UTC)
  set(months enero febrero marzo abril mayo junio julio agosto septiembre octubre noviembre diciembre)
  math(EXPR month "${month} - 1")
  list(GET months ${month} month)
  set(DATE "${month} de ${year}")
  set(VERSION ${PROJECT_VERSION})
  set(page ${tht_deb_dir}/man/${program}.1)
  # Rewritten only when its text changes, so the page is compressed again only then.
  configure_file(${tht_packaging}/${program}.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${THT_GZIP} -9nc ${page} > ${page}.gz
    DEPENDS ${page})
  set(${out} ${page}.gz PARENT_SCOPE)
endfunction()

set(tht_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(tht_man_pages)
foreach(program IN ITEMS transhoralotuxa transhoralotuxa-cli)
  tht_man_page(${program} ${tht_page_epoch} page)
  list(APPEND tht_man_pages ${page})
endforeach()
set(ENV{SOURCE_DATE_EPOCH} "${tht_saved_epoch}")

set(tht_changelog ${tht_deb_dir}/changelog.Debian.gz)
add_custom_command(OUTPUT ${tht_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${tht_deb_dir}
  COMMAND ${THT_GZIP} -9nc ${tht_packaging}/changelog > ${tht_changelog}
  DEPENDS ${tht_packaging}/changelog)
add_custom_target(tht_deb_files ALL DEPENDS ${tht_man_pages} ${tht_changelog})

install(TARGETS transhoralotuxa transhoralotuxa-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${tht_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(size IN LISTS THT_HICOLOR_SIZES)
  install(FILES ${THT_ICON_DIR}/hicolor/${size}x${size}/apps/transhoralotuxa.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${THT_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${tht_packaging}/transhoralotuxa.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tht_packaging}/copyright ${tht_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${tht_packaging}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME transhoralotuxa)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME transhoralotuxa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${tht_deb_revision})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries shlibdeps finds (CPack joins the two lists): the window
# is laid out for Liberation Sans, and opens its report through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "transhoralotuxa developers <transhoralotuxa@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pasa los datos de horarios entre TUXA y Horalina")
# Lines as the package shows them (at most 80 characters); CPack indents them.
set(CPACK_PACKAGE_DESCRIPTION "\
Mueve los datos de horarios de un centro educativo entre los ficheros de texto
de TUXA y las tablas dBase de Horalina, en las dos direcciones: exportar recrea
las seis tablas de Horalina a partir de los ficheros de TUXA, e importar
escribe TUXA_HORARIO.TXT con la solución de Horalina.

Trae la ventana transhoralotuxa, con su ayuda y una entrada en el menú
(Educación), y la orden transhoralotuxa-cli para servidores y tareas
automáticas. Las tablas quedan en la C:\\HTEMP del prefijo de Wine en el que
se ejecuta Horalina, o en otra carpeta que se indique.")
include(CPack)
