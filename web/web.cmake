# The web build (Emscripten), included by CMakeLists.txt once the layers are
# declared: the same engine and banks, the runtime with the web backend
# instead of the SDL window, one self-contained page per program. Used through
# the `web` preset; NODE_PATH must reach Debian's node modules.

# Only run_program, the trampoline every jump of the drill passes through
# (engine/startup.cpp), catches exceptions (VARNEL_WEB_CATCHING, also given
# to the compiler in CMakeLists.txt): every other call is then a plain call,
# not a round trip through JavaScript. An exception passing through another
# function skips its destructors, which free memory and nothing else, on the
# way to the error screen or the program's end. A catch anywhere else would
# not catch in the browser, so configuring refuses one.
set(catches_known "engine/startup.cpp:2")
set(catches_found "")
file(GLOB_RECURSE web_sources RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/engine/*.[ch]pp ${CMAKE_SOURCE_DIR}/problems/*.[ch]pp ${CMAKE_SOURCE_DIR}/runtime/*.[ch]pp
     ${CMAKE_SOURCE_DIR}/web/*.[ch]pp)
list(FILTER web_sources EXCLUDE REGEX "^runtime/(window|glyphs_ttf|png|paper_pdf)\\.")
foreach(source ${web_sources})
  file(STRINGS ${CMAKE_SOURCE_DIR}/${source} lines REGEX "catch *\\(")
  list(LENGTH lines n)
  if(n GREATER 0)
    list(APPEND catches_found "${source}:${n}")
  endif()
endforeach()
if(NOT catches_found STREQUAL catches_known)
  message(FATAL_ERROR "In the browser only run_program catches exceptions (${catches_known}); found "
                      "${catches_found}. Give the function that catches to EXCEPTION_CATCHING_ALLOWED "
                      "(its mangled name, VARNEL_WEB_CATCHING in CMakeLists.txt), then update catches_known.")
endif()

# Asyncify turns the drill's waits (varnel_wait, in runtime/web.cpp) into awaits
# of the page, and instruments every function that may be on the stack at one.
# It cannot see where an indirect call goes, so it takes operator new (which
# may call a new-handler), printf and the C++ library's internals for
# functions that may wait, and with them nearly everything that calls them.
# None of them calls back into code that waits: they are left as they are,
# which halves the code and speeds up every drawing call. A routine that
# waits must never be called through them (a std::function, a comparator).
set(VARNEL_WEB_NEVER_WAIT
    "operator new*" "std::*" "__cxxabiv1::*" "__cxa_*" __dynamic_cast
    printf_core snprintf out pad pop_arg fmt_fp __shgetc strtof scanexp)
string(REPLACE ";" "\n" never_wait "${VARNEL_WEB_NEVER_WAIT}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/never-wait.txt CONTENT "${never_wait}\n")

set(VARNEL_WEB_LINK
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sASYNCIFY_REMOVE=@${CMAKE_BINARY_DIR}/never-wait.txt
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=16777216 ${VARNEL_WEB_CATCHING} -sENVIRONMENT=web
    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_varnel_state_json','_varnel_practising','_varnel_csv_line','_varnel_worksheets']"
    "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString','stringToUTF8','lengthBytesUTF8']")

# Each page: its shell (named for its program), its manifest and its icons, so
# that it can be installed from a static host (a tablet's home screen, a
# Chromebook's shelf). The PNG icons are made from the desktop SVGs.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)   # Debian librsvg2-bin
find_program(PYTHON3 python3 REQUIRED)              # Emscripten's own needs it too
set(VARNEL1_TITLE "正の数・負の数（1）")
set(VARNEL2_TITLE "絶対値・数の大小・数直線")
set(VARNEL1_PROBLEMS 11)   # (as the banks define them)
set(VARNEL2_PROBLEMS 10)
set(offline_files index.html)
set(offline_paths ${CMAKE_BINARY_DIR}/index.html)
foreach(bank 1 2)
  set(VARNEL_NAME varnel${bank})
  set(VARNEL_TITLE ${VARNEL${bank}_TITLE})
  set(VARNEL_PROBLEMS ${VARNEL${bank}_PROBLEMS})
  set(shell ${CMAKE_BINARY_DIR}/shell/varnel${bank}.html)
  configure_file(web/shell.html ${shell} @ONLY)
  configure_file(web/manifest.webmanifest.in ${CMAKE_BINARY_DIR}/varnel${bank}.webmanifest @ONLY)
  configure_file(desktop/varnel${bank}.svg ${CMAKE_BINARY_DIR}/varnel${bank}.svg COPYONLY)

  # The program (program/varnelN.js and .wasm), then the page around it.
  add_executable(varnel${bank} web/main.cpp)
  target_compile_definitions(varnel${bank} PRIVATE VARNEL_BANK=${bank})
  target_link_libraries(varnel${bank} PRIVATE bank${bank} script)
  target_link_options(varnel${bank} PRIVATE ${VARNEL_WEB_LINK})
  set_target_properties(varnel${bank} PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/program
                        LINK_DEPENDS ${CMAKE_BINARY_DIR}/never-wait.txt)
  # The served page with its program beside it, and the single file for disk.
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/varnel${bank}.html ${CMAKE_BINARY_DIR}/varnel${bank}-single.html
                            ${CMAKE_BINARY_DIR}/varnel${bank}.wasm
                     COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/web/page.py ${shell} ${CMAKE_BINARY_DIR}/program/varnel${bank}.js
                             ${CMAKE_BINARY_DIR}/program/varnel${bank}.wasm
                             ${CMAKE_BINARY_DIR}/varnel${bank}.html ${CMAKE_BINARY_DIR}/varnel${bank}-single.html
                     COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/program/varnel${bank}.wasm
                             ${CMAKE_BINARY_DIR}/varnel${bank}.wasm
                     DEPENDS varnel${bank} ${shell} web/page.py
                     COMMENT "Pages varnel${bank}.html, varnel${bank}-single.html" VERBATIM)

  # The single file is for disk: a served copy keeps the page and its program.
  list(APPEND offline_files varnel${bank}.html varnel${bank}.wasm varnel${bank}.webmanifest varnel${bank}.svg)
  list(APPEND offline_paths ${CMAKE_BINARY_DIR}/varnel${bank}.html ${CMAKE_BINARY_DIR}/varnel${bank}.wasm
                            ${CMAKE_BINARY_DIR}/varnel${bank}.webmanifest ${CMAKE_BINARY_DIR}/varnel${bank}.svg)
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

# The class page: its program is the record reader alone, the compiled code
# inside its script (so that it opens from disk too), run with no eval.
add_executable(class-program web/class_main.cpp)
target_link_libraries(class-program PRIVATE records)
target_link_options(class-program PRIVATE -sMODULARIZE=1 -sEXPORT_NAME=ClassProgram -sSINGLE_FILE=1
                    -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sDYNAMIC_EXECUTION=0 -sFILESYSTEM=0
                    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_class_reset','_class_add','_class_meta','_class_view','_class_cell','_class_csv_text']"
                    "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString']")
set_target_properties(class-program PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
foreach(file class.html class.js class.css)
  configure_file(web/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
  list(APPEND offline_files ${file})
  list(APPEND offline_paths ${CMAKE_BINARY_DIR}/${file})
endforeach()
list(APPEND offline_files class-program.js)

# The service worker that keeps all of the above for offline use.
list(JOIN offline_files "," offline_list)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/sw.js
                   COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR} -DTEMPLATE=${CMAKE_SOURCE_DIR}/web/sw.js.in
                           -DFILES=${offline_list} -P ${CMAKE_SOURCE_DIR}/web/offline.cmake
                   DEPENDS varnel1 varnel2 class-program ${offline_paths} web/sw.js.in web/offline.cmake
                   COMMENT "Service worker for the offline copy" VERBATIM)
add_custom_target(offline ALL DEPENDS ${CMAKE_BINARY_DIR}/sw.js)
