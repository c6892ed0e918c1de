# The program's icon, drawn once as packaging/transhoralotuxa.svg and rendered
# here: the hicolor PNG sizes (the Linux desktop and the Qt window) and the
# Windows .ico (both .exe resources). Target tht_icon; THT_ICON_DIR holds
# hicolor/NxN/apps/transhoralotuxa.png and, on Windows, transhoralotuxa.ico.
tht_require_program(THT_RSVG_CONVERT rsvg-convert librsvg2-bin)
set(THT_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/transhoralotuxa.svg)
set(THT_ICON_DIR ${PROJECT_BINARY_DIR}/icon)
# The sizes desktops ask hicolor for, and those Explorer picks from an .ico
# (256 for large icon views; 24 for the taskbar at 150 %).
set(THT_HICOLOR_SIZES 16 22 24 32 48 64 128 256)
set(THT_ICO_SIZES 16 24 32 48 256)

set(tht_icon_outputs)
foreach(size IN LISTS THT_HICOLOR_SIZES)
  set(png ${THT_ICON_DIR}/hicolor/${size}x${size}/apps/transhoralotuxa.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${THT_ICON_DIR}/hicolor/${size}x${size}/apps
    COMMAND ${THT_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${THT_ICON_SVG}
    DEPENDS ${THT_ICON_SVG}
    VERBATIM)
  list(APPEND tht_icon_outputs ${png})
endforeach()

if(WIN32)
  tht_require_program(THT_ICOTOOL icotool icoutils)
  set(tht_ico_inputs)
  foreach(size IN LISTS THT_ICO_SIZES)
    if(NOT size IN_LIST THT_HICOLOR_SIZES)
      message(FATAL_ERROR "icon size ${size} of the .ico is not rendered")
    endif()
    set(png ${THT_ICON_DIR}/hicolor/${size}x${size}/apps/transhoralotuxa.png)
    # Windows reads the 256 px image as PNG; the small ones as bitmaps, which
    # every version draws.
    if(size EQUAL 256)
      list(APPEND tht_ico_inputs --raw=${png})
    else()
      list(APPEND tht_ico_inputs ${png})
    endif()
  endforeach()
  set(THT_ICON_ICO ${THT_ICON_DIR}/transhoralotuxa.ico)
  add_custom_command(OUTPUT ${THT_ICON_ICO}
    COMMAND ${THT_ICOTOOL} --create --output=${THT_ICON_ICO} ${tht_ico_inputs}
    DEPENDS ${tht_icon_outputs}
    VERBATIM)
  list(APPEND tht_icon_outputs ${THT_ICON_ICO})
endif()

add_custom_target(tht_icon DEPENDS ${tht_icon_outputs})
