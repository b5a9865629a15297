# The web build (Emscripten), included by CMakeLists.txt once the layers are
# declared: the same engine and banks, the runtime with the web backend
# instead of the SDL window, one self-contained page per program. Used through
# the `web` preset; NODE_PATH must reach Debian's node modules.
set(VARNEL_WEB_LINK
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sDISABLE_EXCEPTION_CATCHING=0 -sSINGLE_FILE=1 -sMINIFY_HTML=0 -sENVIRONMENT=web
    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_varnel_state_json','_varnel_practising']"
    "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString']")

# Each page: its shell (named for its program), its manifest and its icons, so
# that it can be installed from a static host (a tablet's home screen, a
# Chromebook's shelf). The PNG icons are made from the desktop SVGs.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)   # Debian librsvg2-bin
set(VARNEL1_TITLE "正の数・負の数（1）")
set(VARNEL2_TITLE "絶対値・数の大小・数直線")
set(offline_files index.html)
set(offline_paths ${CMAKE_BINARY_DIR}/index.html)
foreach(bank 1 2)
  set(VARNEL_NAME varnel${bank})
  set(VARNEL_TITLE ${VARNEL${bank}_TITLE})
  set(shell ${CMAKE_BINARY_DIR}/shell/varnel${bank}.html)
  configure_file(web/shell.html ${shell} @ONLY)
  configure_file(web/manifest.webmanifest.in ${CMAKE_BINARY_DIR}/varnel${bank}.webmanifest @ONLY)
  configure_file(desktop/varnel${bank}.svg ${CMAKE_BINARY_DIR}/varnel${bank}.svg COPYONLY)

  add_executable(varnel${bank} web/main.cpp)
  target_compile_definitions(varnel${bank} PRIVATE VARNEL_BANK=${bank})
  target_link_libraries(varnel${bank} PRIVATE bank${bank} script)
  target_link_options(varnel${bank} PRIVATE ${VARNEL_WEB_LINK} --shell-file ${shell})
  set_target_properties(varnel${bank} PROPERTIES SUFFIX ".html" LINK_DEPENDS ${shell})

  list(APPEND offline_files varnel${bank}.html varnel${bank}.webmanifest varnel${bank}.svg)
  list(APPEND offline_paths ${CMAKE_BINARY_DIR}/varnel${bank}.html ${CMAKE_BINARY_DIR}/varnel${bank}.webmanifest
                            ${CMAKE_BINARY_DIR}/varnel${bank}.svg)
  # 180: the home-screen icon of Apple tablets, which shows no transparency.
  foreach(size 180 192 512)
    set(png ${CMAKE_BINARY_DIR}/varnel${bank}-${size}.png)
    set(background)
    if(size EQUAL 180)
      set(background -b "#000000")
    endif()
    add_custom_command(OUTPUT ${png}
                       COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${background} -o ${png}
                               ${CMAKE_SOURCE_DIR}/desktop/varnel${bank}.svg
                       DEPENDS ${CMAKE_SOURCE_DIR}/desktop/varnel${bank}.svg
                       COMMENT "Icon varnel${bank} at ${size}x${size}" VERBATIM)
    list(APPEND offline_files varnel${bank}-${size}.png)
    list(APPEND offline_paths ${png})
  endforeach()
endforeach()
configure_file(web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)

# The service worker that keeps all of the above for offline use.
list(JOIN offline_files "," offline_list)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/sw.js
                   COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR} -DTEMPLATE=${CMAKE_SOURCE_DIR}/web/sw.js.in
                           -DFILES=${offline_list} -P ${CMAKE_SOURCE_DIR}/web/offline.cmake
                   DEPENDS varnel1 varnel2 ${offline_paths} web/sw.js.in web/offline.cmake
                   COMMENT "Service worker for the offline copy" VERBATIM)
add_custom_target(offline ALL DEPENDS ${CMAKE_BINARY_DIR}/sw.js)
