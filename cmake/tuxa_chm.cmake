# TUXA.chm, the help file that the Windows window opens with HtmlHelpW, compiled
# from the pages of help/ (the same ones the Qt window shows) beside the
# executables. The project and its table of contents are generated from
# help/mapa.txt and the pages' titles; chmcmd (Debian's fp-utils) compiles it;
# the context map is then written into the file (scripts/chm_context_map.py
# says why it is not left to chmcmd).
tht_require_program(THT_CHMCMD chmcmd fp-utils)
tht_require_package(Python3 python3 COMPONENTS Interpreter)

set(THT_CHM_NAME TUXA.chm)
get_filename_component(tht_chm_stem ${THT_CHM_NAME} NAME_WE)
set(THT_CHM ${PROJECT_BINARY_DIR}/src/${THT_CHM_NAME})
set(tht_chm_project ${PROJECT_BINARY_DIR}/help-chm)
file(MAKE_DIRECTORY ${tht_chm_project})
file(GLOB tht_chm_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/help/*.html
  ${PROJECT_SOURCE_DIR}/help/*.css
  ${PROJECT_SOURCE_DIR}/help/mapa.txt)

add_custom_command(
  OUTPUT ${THT_CHM}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/chm_project.py
          ${PROJECT_SOURCE_DIR}/help ${tht_chm_project} ${THT_CHM_NAME}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${THT_CHM_NAME}
  COMMAND ${THT_CHMCMD} ${tht_chm_stem}.hhp
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/chm_context_map.py
          ${PROJECT_SOURCE_DIR}/help ${THT_CHM_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy ${THT_CHM_NAME} ${THT_CHM}
  WORKING_DIRECTORY ${tht_chm_project}
  DEPENDS ${tht_chm_sources}
          ${PROJECT_SOURCE_DIR}/scripts/help_pages.py
          ${PROJECT_SOURCE_DIR}/scripts/chm_project.py
          ${PROJECT_SOURCE_DIR}/scripts/chm_context_map.py
  COMMENT "Compiling ${THT_CHM_NAME} from help/"
  VERBATIM)
add_custom_target(tuxa_chm ALL DEPENDS ${THT_CHM})
