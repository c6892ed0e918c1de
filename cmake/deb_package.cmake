# The Debian package (scripts/package-deb.sh runs CPack): both programs in
# /usr/bin, their manual pages, the icon, the menu entry, and the copyright
# and changelog files Debian asks of every package. The help pages need no
# place of their own: they are compiled into the window.
include(GNUInstallDirs)
find_program(THT_HELP2MAN help2man REQUIRED)
find_program(THT_LOCALEDEF localedef REQUIRED)
find_program(THT_GZIP gzip REQUIRED)
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

# help2man writes its headings in Spanish only under a Spanish locale: one of
# our own in the build folder, so that the system's locales need not change.
set(tht_locale_dir ${tht_deb_dir}/locale)
set(tht_locale_stamp ${tht_locale_dir}/es_ES.UTF-8/LC_CTYPE)
add_custom_command(OUTPUT ${tht_locale_stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${tht_locale_dir}
  COMMAND ${THT_LOCALEDEF} --inputfile=es_ES --charmap=UTF-8 ${tht_locale_dir}/es_ES.UTF-8
  VERBATIM)

# A manual page from the program's own --help and --version, so that the two
# never tell different things. The program is found through PATH, so that it
# names itself as a user calls it, never by its place in the build folder; a
# small shell between help2man and the program gives the usage heading the
# word help2man looks for (the page takes its NAME from the .h2m file).
set(tht_man_shell ${tht_packaging}/usage-for-help2man.sh)
set(tht_man_pages)
foreach(program IN ITEMS transhoralotuxa transhoralotuxa-cli)
  set(page ${tht_deb_dir}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tht_deb_dir}/man
    COMMAND ${CMAKE_COMMAND} -E env LOCPATH=${tht_locale_dir} PATH=$<TARGET_FILE_DIR:${program}>:/usr/bin:/bin
            THT_MAN_PROGRAM=${program}
            ${THT_HELP2MAN} --no-info --locale=es_ES.UTF-8 --section=1
            --include=${tht_packaging}/${program}.h2m --include=${tht_packaging}/man-environment.h2m
            --output=${page} ${tht_man_shell}
    COMMAND ${THT_GZIP} -9nf ${page}
    DEPENDS ${program} ${tht_locale_stamp} ${tht_man_shell}
            ${tht_packaging}/${program}.h2m ${tht_packaging}/man-environment.h2m
    VERBATIM)
  list(APPEND tht_man_pages ${page}.gz)
endforeach()

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
